#include "tests/gui/guitestsupport.h"

#include "app/childframe.h"
#include "app/commandactions.h"
#include "app/commandids.h"
#include "app/freeformatdialog.h"
#include "app/imageformatdialog.h"
#include "app/mainframe.h"
#include "app/quorveldoc.h"

#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QRadioButton>

using quorvel::command::kImageFormat;

namespace {

QRadioButton* choice(QDialog& dialog, int index) {
    const QString label = CImageFormatDialog::label(index);
    for (QRadioButton* button : dialog.findChildren<QRadioButton*>())
        if (button->text() == label)
            return button;
    return nullptr;
}

// The user picks choice `index` and presses OK.
std::function<int(QDialog&)> pick(int index, int* checkedAtStart = nullptr) {
    return [index, checkedAtStart](QDialog& dialog) {
        if (checkedAtStart)
            *checkedAtStart = static_cast<CImageFormatDialog&>(dialog).selection();
        choice(dialog, index)->click();
        dialog.accept();
        return dialog.result();
    };
}

// The user types a free size and presses OK; the dialog's result is what OK led to.
std::function<int(QDialog&)> typeFreeSize(const QString& horizontal, const QString& vertical) {
    return [horizontal, vertical](QDialog& dialog) {
        auto& free = static_cast<CFreeFormatDialog&>(dialog);
        free.horizontalField()->setText(horizontal);
        free.verticalField()->setText(vertical);
        free.accept();
        return free.isVisible() ? int(QDialog::Rejected) : free.result();
    };
}

}  // namespace

class ImageFormat : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        start();
    }
    void runCommand() { frame().actions().action(kImageFormat)->trigger(); }
    QSize documentSize() const { return {activeDocument()->width(), activeDocument()->height()}; }
    QSize recordSize() const {
        return {activeDocument()->current().imageWidth, activeDocument()->current().imageHeight};
    }
};

TEST_F(ImageFormat, PresetsSetTheSizesTheyStandFor) {
    const QSize expected[] = {{160, 120}, {320, 240},  {640, 480},   {740, 576},
                              {800, 600}, {1024, 768}, {2048, 1536}, {4096, 2836}};
    int checked = -2;
    dialogs.dialogSteps.push_back(pick(5, &checked));
    runCommand();
    EXPECT_EQ(checked, 0) << "a new document is Screen/16";
    EXPECT_EQ(documentSize(), QSize(1024, 768)) << "1K is 1024 x 768 whatever its label says";
    EXPECT_EQ(recordSize(), QSize(1024, 768));
    EXPECT_EQ(activeDocument()->current().imageFormat, 5);
    EXPECT_TRUE(activeDocument()->isModified());

    for (int index = 0; index < 8; ++index) {
        dialogs.dialogSteps.push_back(pick(index));
        runCommand();
        EXPECT_EQ(recordSize(), expected[index]) << index;
        EXPECT_EQ(documentSize(), expected[index]) << index;
        // The window sits at the area's corner, never larger than the free area.
        const QSize area = frame().mdiArea()->viewport()->size();
        const QSize wanted = (expected[index] + QSize(12, 31)).boundedTo(area);
        EXPECT_EQ(frame().activeChildFrame()->pos(), QPoint(0, 0)) << index;
        EXPECT_EQ(frame().activeChildFrame()->size(), wanted) << index;
    }
}

TEST_F(ImageFormat, CancelChangesNothing) {
    dialogs.dialogSteps.push_back([](QDialog& dialog) {
        choice(dialog, 7)->click();
        dialog.reject();
        return dialog.result();
    });
    runCommand();
    EXPECT_EQ(recordSize(), QSize(160, 120));
    EXPECT_FALSE(activeDocument()->isModified());
}

TEST_F(ImageFormat, FreeFormatIsAskedOnEachClickAndKeptAfterwards) {
    dialogs.dialogSteps.push_back(pick(8));
    dialogs.dialogSteps.push_back(typeFreeSize(QStringLiteral("300"), QStringLiteral("200")));
    runCommand();
    EXPECT_EQ(recordSize(), QSize(300, 200));
    EXPECT_EQ(documentSize(), QSize(300, 200));
    EXPECT_EQ(activeDocument()->current().imageFormat, 8);

    // OK without clicking Free Format again keeps the size.
    int checked = -2;
    dialogs.dialogSteps.push_back([&checked](QDialog& dialog) {
        checked = static_cast<CImageFormatDialog&>(dialog).selection();
        dialog.accept();
        return dialog.result();
    });
    runCommand();
    EXPECT_EQ(checked, 8);
    EXPECT_EQ(recordSize(), QSize(300, 200));

    // Cancel in the free dialog leaves the free size at the record's size.
    dialogs.dialogSteps.push_back(pick(8));
    dialogs.dialogSteps.push_back([](QDialog& dialog) {
        dialog.reject();
        return dialog.result();
    });
    runCommand();
    EXPECT_EQ(recordSize(), QSize(300, 200));
}

TEST_F(ImageFormat, FreeFormatRefusesWhatIsNoSize) {
    const struct {
        const char* horizontal;
        const char* vertical;
        const char* message;
    } rows[] = {
        {"0", "200", "Please enter an integer between 1 and 32767."},
        {"70000", "200", "Please enter an integer between 1 and 32767."},
        {"32768", "200", "Please enter an integer between 1 and 32767."},
        {"12a", "200", "Please enter an integer."},
        {"", "200", "Please enter an integer."},
        {"300", "-5", "Please enter an integer between 1 and 32767."},
        {"300", "1.5", "Please enter an integer."},
    };
    for (const auto& row : rows) {
        dialogs.questions.clear();
        CFreeFormatDialog dialog(160, 120);
        dialog.show();
        dialog.horizontalField()->setText(QString::fromUtf8(row.horizontal));
        dialog.verticalField()->setText(QString::fromUtf8(row.vertical));
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible()) << row.horizontal << " x " << row.vertical;
        EXPECT_EQ(dialogs.questions, QStringList{QString::fromUtf8(row.message)})
            << row.horizontal << " x " << row.vertical;
        EXPECT_EQ(dialog.horizontal(), 160);
    }
    CFreeFormatDialog dialog(160, 120);
    dialog.horizontalField()->setText(QStringLiteral(" 32767 "));
    dialog.verticalField()->setText(QStringLiteral("1"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(QSize(dialog.horizontal(), dialog.vertical()), QSize(32767, 1));
}

TEST_F(ImageFormat, AnyOkMarksModifiedAndAForeignFormatChecksNothing) {
    activeDocument()->current().imageFormat = 42;
    int checked = -2;
    dialogs.dialogSteps.push_back([&checked](QDialog& dialog) {
        checked = static_cast<CImageFormatDialog&>(dialog).selection();
        dialog.accept();
        return dialog.result();
    });
    activeDocument()->setImageSize(500, 400);
    runCommand();
    EXPECT_EQ(checked, -1);
    // With nothing checked the window falls back to 160 x 120; the record keeps its size.
    EXPECT_EQ(documentSize(), QSize(160, 120));
    EXPECT_EQ(recordSize(), QSize(500, 400));
    EXPECT_EQ(activeDocument()->current().imageFormat, -1);
    EXPECT_TRUE(activeDocument()->isModified());
}
