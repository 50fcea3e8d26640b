#include "tests/gui/guitestsupport.h"

#include "app/childframe.h"
#include "app/commandactions.h"
#include "app/commandids.h"
#include "app/mainframe.h"
#include "document/quorveldoc.h"
#include "app/quorvelview.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QWindow>

using namespace Qt::StringLiterals;
using namespace quorvel::command;

// Save As to a .tga or Print to a PDF, cancelled with Escape or else with the Cancel button.
class BackgroundWork : public GuiTest, public testing::WithParamInterface<std::tuple<int, bool>> {};

TEST_P(BackgroundWork, CancelLeavesNoFileAndTheDocumentOpen) {
    start();
    // A texture that takes seconds to export or print on any machine, on any engine path: the
    // slowest relief, the deepest detail that still adds octaves, four times the pixels of 4K.
    CQuorvelDoc* document = activeDocument();
    changeRecord([](quorvel::TextureParams& record) {
        record.octaves = 30;
        record.relief = static_cast<int8_t>(quorvel::ReliefType::InverseDents);
        record.reliefIntensity = 5.0f;
        record.imageWidth = 8192;
        record.imageHeight = 5672;
    });
    document->markUnsaved();
    const auto [command, escape] = GetParam();
    const QString target = path(command == kPrint ? u"page.pdf"_s : u"big.tga"_s);
    if (command == kPrint) {
        dialogs.dialogSteps.push_back([&](QDialog& dialog) {
            user::typeInto(dialog.findChild<QLineEdit*>(u"filename"_s), target);
            for (QPushButton* button : dialog.findChildren<QPushButton*>())
                if (button->text() == u"&Print"_s)
                    user::click(button);
        });
    } else {
        dialogs.saveChoices = {target};
    }
    const auto files = [] { return QDir::current().entryList(QDir::Files | QDir::Hidden); };
    whenProgressMoves(&frame(), [&](QProgressDialog& dialog) {
        // Nothing closes under the work, the program included, and nothing is asked.
        frame().windowHandle()->close();
        EXPECT_TRUE(frame().isVisible());
        EXPECT_EQ(files().isEmpty(), command == kPrint) << "an export writes as it goes";
        if (escape)
            user::key(&dialog, Qt::Key_Escape);
        else
            user::click(dialog.findChild<QPushButton*>());
        // The work stops at once, not at the dialog's next update, which is held up here.
        const QDeadlineTimer busy(120000);
        while (!files().isEmpty() && !QFile::exists(target) && !busy.hasExpired())
            QThread::msleep(5);
    });
    user::choose(&frame(), frame().actions().action(command));
    EXPECT_TRUE(files().isEmpty()) << files().join(u' ').toStdString();
    EXPECT_TRUE(dialogs.questions.isEmpty()) << dialogs.questions.join(u'|').toStdString();
    EXPECT_EQ(app->documents(), QList<CQuorvelDoc*>{document});
    EXPECT_FALSE(frame().activeChildFrame()->view()->isPrinting());
}

INSTANTIATE_TEST_SUITE_P(Work, BackgroundWork,
                         testing::Combine(testing::Values(kSaveAs, kPrint), testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) == kPrint ? "Print"
                                                                                  : "Export") +
                                    (std::get<1>(info.param) ? "ByEscape" : "ByButton");
                         });
