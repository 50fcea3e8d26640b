#include "tests/gui/guitestsupport.h"

#include "app/childframe.h"
#include "app/commandactions.h"
#include "app/commandids.h"
#include "app/mainframe.h"
#include "app/quorvelview.h"

#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

using namespace Qt::StringLiterals;
using namespace quorvel::command;

namespace {

// The user types the PDF file's name into the print dialog and clicks `button`.
void printTo(QDialog& dialog, const QString& file, const QString& button = u"&Print"_s) {
    user::typeInto(dialog.findChild<QLineEdit*>(u"filename"_s), file);
    for (QPushButton* shown : dialog.findChildren<QPushButton*>())
        if (shown->text() == button)
            return user::click(shown);
}

}  // namespace

using Printing = GuiTest;

TEST_F(Printing, SetupChoosesThePdfThatPrintWritesOnOnePageAndARefusedJobIsTold) {
    start();
    const QString pdf = path(u"setup.pdf"_s);
    dialogs.dialogSteps.push_back([&](QDialog& dialog) { printTo(dialog, pdf, u"OK"_s); });
    user::choose(&frame(), frame().actions().action(kPrintSetup));
    EXPECT_FALSE(QFile::exists(pdf)) << "setup prints nothing";

    QString offered;
    dialogs.dialogSteps.push_back([&](QDialog& dialog) {
        offered = dialog.findChild<QLineEdit*>(u"filename"_s)->text();
        printTo(dialog, offered);
    });
    user::key(&frame(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(offered, pdf);
    EXPECT_FALSE(frame().activeChildFrame()->view()->isPrinting());
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page "), 1);
    EXPECT_TRUE(bytes.contains("/Width 160\n/Height 120")) << "the texture, a dot per pixel";

    dialogs.dialogSteps.push_back([this](QDialog& dialog) {
        printTo(dialog, path(u"page.pdf"_s));
        // The system's printer then refuses the job.
        static_cast<QPrintDialog&>(dialog).printer()->setOutputFileName(path(u"no/page.pdf"_s));
    });
    user::choose(&frame(), frame().actions().action(kPrint));
    EXPECT_EQ(dialogs.questions, QStringList{u"Could not start print job."_s});
    EXPECT_FALSE(QFile::exists(path(u"page.pdf"_s)));
}
