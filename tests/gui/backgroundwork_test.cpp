#include "tests/gui/guitestsupport.h"

#include "app/childframe.h"
#include "app/commandactions.h"
#include "app/commandids.h"
#include "app/mainframe.h"
#include "app/quorveldoc.h"
#include "app/quorvelview.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QTimer>

using namespace quorvel::command;

namespace {

// Runs `during` from the first turn of the event loop that the background work started by
// `command` runs; nothing else turns the loop before it.
void whileWorking(QAction* command, const std::function<void()>& during) {
    QTimer::singleShot(0, during);
    command->trigger();
}

// A texture that takes a while to render on any machine.
void makeSlow(CQuorvelDoc* document) {
    document->current().octaves = 12;
    document->current().reliefIntensity = 5.0f;
    document->setImageSize(2048, 1536);
}

QProgressDialog* progressDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QProgressDialog*>(widget))
            return dialog;
    return nullptr;
}

}  // namespace

using BackgroundWork = GuiTest;

TEST_F(BackgroundWork, NothingClosesUnderAnExport) {
    start();
    CQuorvelDoc* document = activeDocument();
    makeSlow(document);
    document->setModified(true);
    dialogs.saveChoices = {path(QStringLiteral("big.png"))};
    bool frameClosed = true;
    bool mainClosed = true;
    whileWorking(frame().actions().action(kSaveAs), [&] {
        frameClosed = frame().activeChildFrame()->close();
        mainClosed = frame().close();
    });
    EXPECT_FALSE(frameClosed);
    EXPECT_FALSE(mainClosed);
    EXPECT_TRUE(dialogs.questions.isEmpty()) << "no save question while the export runs";
    settle();
    EXPECT_EQ(app->documents(), QList<CQuorvelDoc*>{document});
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("big.png"))));

    // Once the export is done, closing works as ever.
    dialogs.answers = {QMessageBox::No};
    EXPECT_TRUE(frame().activeChildFrame()->close());
}

TEST_F(BackgroundWork, ACancelledPrintPrintsNothing) {
    start();
    makeSlow(activeDocument());
    const QString pdf = path(QStringLiteral("page.pdf"));
    dialogs.dialogSteps.push_back([&pdf](QDialog& dialog) {
        QPrinter* printer = static_cast<QPrintDialog&>(dialog).printer();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        return int(QDialog::Accepted);
    });
    bool cancelled = false;
    whileWorking(frame().actions().action(kPrint), [&cancelled] {
        if (QProgressDialog* progress = progressDialog()) {
            progress->cancel();
            cancelled = true;
        }
    });
    EXPECT_TRUE(cancelled);
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_FALSE(frame().activeChildFrame()->view()->isPrinting());
}

TEST_F(BackgroundWork, AHugeImageRendersNoMoreThanTheWindowShows) {
    start();
    activeDocument()->setImageSize(32767, 32767);
    frame().actions().action(kNewWindow)->trigger();
    settle();
    for (CChildFrame* child : frame().childFrames()) {
        EXPECT_LE(child->width(), frame().mdiArea()->viewport()->width());
        const QRect region = child->view()->renderedRegion();
        EXPECT_LE(region.width(), frame().width());
        EXPECT_LE(region.height(), frame().height());
    }
    finishRendering();
}
