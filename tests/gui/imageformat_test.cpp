#include "tests/gui/guitestsupport.h"

#include "app/childframe.h"
#include "app/commandactions.h"
#include "app/commandids.h"
#include "app/freeformatdialog.h"
#include "app/imageformatdialog.h"
#include "app/mainframe.h"
#include "document/quorveldoc.h"
#include "app/quorvelview.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

using namespace Qt::StringLiterals;
using Button = QDialogButtonBox::StandardButton;

class ImageFormat : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        start();
    }
    static void press(QDialog& dialog, Button which) {
        user::click(dialog.findChild<QDialogButtonBox*>()->button(which));
    }
    // The user clicks choice `index` (none for -1), then OK or Cancel.
    std::function<void(QDialog&)> pick(int index, Button close = QDialogButtonBox::Ok) {
        return [this, index, close](QDialog& dialog) {
            opened = static_cast<CImageFormatDialog&>(dialog).selection();
            for (QRadioButton* button : dialog.findChildren<QRadioButton*>())
                if (button->text() == CImageFormatDialog::label(index))
                    user::click(button);
            press(dialog, close);
        };
    }
    // The user types a size into Free Format and clicks OK.
    static void typeFreeSize(QDialog& dialog, const QString& horizontal, const QString& vertical) {
        user::typeInto(static_cast<CFreeFormatDialog&>(dialog).horizontalField(), horizontal);
        user::typeInto(static_cast<CFreeFormatDialog&>(dialog).verticalField(), vertical);
        press(dialog, QDialogButtonBox::Ok);
    }
    // Runs the command with the user's steps in its dialogs; returns the view's size and the
    // record's.
    std::pair<QSize, QSize> run(std::initializer_list<std::function<void(QDialog&)>> steps) {
        dialogs.dialogSteps.insert(dialogs.dialogSteps.end(), steps.begin(), steps.end());
        user::choose(&frame(), frame().actions().action(quorvel::command::kImageFormat));
        EXPECT_TRUE(dialogs.dialogSteps.empty());
        const quorvel::TextureParams& record = activeDocument()->record();
        return {{activeDocument()->width(), activeDocument()->height()},
                {record.imageWidth, record.imageHeight}};
    }
    static std::pair<QSize, QSize> both(QSize size) { return {size, size}; }

    int opened = -2;  // the choice checked when the dialog opened
};

TEST_F(ImageFormat, PresetsSetTheSizesTheyStandForAndFitTheWindow) {
    EXPECT_EQ(run({pick(7, QDialogButtonBox::Cancel)}), both({160, 120})) << "Cancel";
    EXPECT_FALSE(activeDocument()->isModified());
    // 1K is 1024 x 768, whatever its label says.
    const QSize sizes[] = {{160, 120}, {320, 240},  {640, 480},   {740, 576},
                           {800, 600}, {1024, 768}, {2048, 1536}, {4096, 2836}};
    for (int index = 7; index >= 0; --index) {
        SCOPED_TRACE(CImageFormatDialog::label(index).toStdString());
        EXPECT_EQ(run({pick(index)}), both(sizes[index]));
        EXPECT_EQ(opened, index == 7 ? 0 : index + 1) << "the dialog opens on the record's";
        // The window moves to the corner and shows the whole image if the area allows; only a
        // window smaller than the image scrolls.
        CQuorvelView* view = frame().activeChildFrame()->view();
        const QSize wanted = sizes[index] + QSize(12, 31);
        const QSize area = frame().mdiArea()->viewport()->size();
        EXPECT_EQ(frame().activeChildFrame()->geometry(), QRect({0, 0}, wanted.boundedTo(area)));
        EXPECT_EQ(view->horizontalScrollBar()->isVisible() ||
                      view->verticalScrollBar()->isVisible(),
                  wanted != wanted.boundedTo(area));
    }
    EXPECT_TRUE(activeDocument()->isModified());
    // A format from elsewhere checks nothing; OK shows 160 x 120 and the record keeps its size.
    changeRecord([](quorvel::TextureParams& record) {
        record.imageFormat = 42;
        record.imageWidth = 500;
        record.imageHeight = 400;
    });
    EXPECT_EQ(run({pick(-1)}), std::pair(QSize(160, 120), QSize(500, 400)));
    EXPECT_EQ(opened, -1);
    EXPECT_EQ(activeDocument()->record().imageFormat, -1);
}

TEST_F(ImageFormat, FreeFormatRefusesWhatIsNoSizeAndKeepsWhatItTook) {
    const QString range = u"Please enter an integer between 1 and 32767."_s;
    const QString integer = u"Please enter an integer."_s;
    const auto refuseAll = [&](QDialog& dialog) {
        const QString rows[][3] = {{u"0"_s, u"9"_s, range},
                                   {u"32768"_s, u"9"_s, range},
                                   {u"12a"_s, u"9"_s, integer},
                                   {u"9"_s, u"-5"_s, range}};
        for (const auto& [horizontal, vertical, message] : rows) {
            dialogs.questions.clear();
            typeFreeSize(dialog, horizontal, vertical);
            EXPECT_TRUE(dialog.isVisible()) << horizontal.toStdString();
            EXPECT_EQ(dialogs.questions, QStringList{message}) << horizontal.toStdString();
        }
        press(dialog, QDialogButtonBox::Cancel);
    };
    // Free Format cancelled: OK keeps the record's size.
    EXPECT_EQ(run({pick(8), refuseAll}), both({160, 120}));
    const auto type = [](QDialog& dialog) { typeFreeSize(dialog, u" 32767 "_s, u"1"_s); };
    EXPECT_EQ(run({pick(8), type}), both({32767, 1}));
    // OK without clicking Free Format again keeps the free size.
    EXPECT_EQ(run({pick(-1)}), both({32767, 1}));
    EXPECT_EQ(opened, 8);
}
