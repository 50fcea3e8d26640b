#include "tests/gui/guitestsupport.h"

#include "app/commandactions.h"
#include "app/commandids.h"
#include "app/mainframe.h"
#include "document/quorveldoc.h"
#include "app/splashwindow.h"
#include "app/tipdialog.h"
#include "files/texturedocument.h"
#include "library/librarybar.h"
#include "library/librarystrip.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QToolBar>

using namespace quorvel::command;
using namespace Qt::StringLiterals;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

std::string local(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

// Tips at start-up are off unless a test removes the profile; a dialog alone uses `settings`.
class StartUp : public GuiTest {
protected:
    // The tips a new dialog shows: the first, then each after Next Tip.
    QStringList tipsShown(int count, const QString& file) {
        CTipDialog dialog(settings, file);
        dialog.show();
        QStringList shown{dialog.tipLabel()->text()};
        while (shown.size() < count) {
            user::click(dialog.nextTipButton());
            shown << dialog.tipLabel()->text();
        }
        return shown;
    }
    void restart(const QStringList& arguments = {}) {
        app.reset();
        settle();
        start(arguments);
    }

    const QString tips = path(u"tips.txt"_s);
    QSettings settings{path(u"tips.ini"_s), QSettings::IniFormat};
};

TEST_F(StartUp, TipOfTheDayShowsTipLinesInOrderGoesOnWhereItStoppedAndCopesWithOddFiles) {
    const QString first(999, u'x'), rest(501, u'x');  // lines are read 999 bytes at most
    writeFile(tips, "; a comment\nFirst\n  indented\n\ttabbed\n\n" + QByteArray(1500, 'x') +
                        "\nSecond\r\n;another comment\nThird");
    const auto touch = [this](int year) {
        QFile file(tips);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite) &&
                    file.setFileTime(QDateTime(QDate(year, 1, 2), QTime(3, 4, 5)),
                                     QFileDevice::FileModificationTime));
    };
    touch(2020);
    EXPECT_EQ(tipsShown(8, tips), (QStringList{u"First"_s, first, rest, u"Second"_s, u"Third"_s,
                                               u"First"_s, first, rest}));
    EXPECT_EQ(settings.value(u"Tip/FilePos"_s).toLongLong(), 1539);
    EXPECT_EQ(settings.value(u"Tip/TimeStamp"_s).toString(), u"Thu Jan  2 03:04:05 2020"_s);
    EXPECT_EQ(CTipDialog(settings, tips).tip(), u"Second"_s);
    touch(2021);  // a new file time starts again at the first tip
    EXPECT_EQ(CTipDialog(settings, tips).tip(), u"First"_s);
    EXPECT_EQ(settings.value(u"Tip/TimeStamp"_s).toString(), u"Sat Jan  2 03:04:05 2021"_s);

    // A file without tips ends the search; a position that cannot be sought is reported, and
    // as the file stayed open the next dialog starts from one that works.
    for (const char* contents : {"", "; only a comment\n  indented\n\n\t\n;\n", "\n"}) {
        writeFile(tips, contents);
        const QString shown = tipsShown(2, tips)[1];
        EXPECT_FALSE(shown.isEmpty() || shown.startsWith(u';')) << contents;
    }
    writeFile(tips, "One\nTwo\n");
    settings.setValue(u"Tip/TimeStamp"_s, CTipDialog::fileTimeStamp(tips));
    settings.setValue(u"Tip/FilePos"_s, -3);
    EXPECT_TRUE(CTipDialog(settings, tips).tip().isEmpty());
    EXPECT_EQ(dialogs.questions, QStringList{u"Problem Reading the File"_s});
    EXPECT_EQ(CTipDialog(settings, tips).tip(), u"One"_s);

    // Without a file the dialog says so, and Next Tip has nothing to do.
    settings.clear();
    const QString missing = u"The file Tips.txt does not exist in the current directory"_s;
    for (const QString& file : {path(u"nowhere/tips.txt"_s), QString()})
        EXPECT_EQ(tipsShown(2, file), (QStringList{missing, missing}));
    EXPECT_TRUE(settings.allKeys().isEmpty());
    EXPECT_EQ(dialogs.questions.size(), 1);
}

TEST_F(StartUp, TipOfTheDayFollowsTheMainWindowUntilTurnedOffAndOnlyCloseWritesTheChoice) {
    ASSERT_TRUE(QFile::remove(path(u"config/Quorvel.ini"_s)));  // a fresh profile shows tips
    writeFile(tips, "First\nSecond\n");
    QStringList shown;  // each tip, whether its box was ticked, whether the window was up
    const auto note = [&](const CTipDialog& dialog) {
        shown << dialog.tip() + (dialog.startUpBox()->isChecked() ? u" ticked"_s : u""_s) +
                     (frame().isVisible() ? u""_s : u" early"_s);
    };
    dialogs.dialogSteps.push_back([&](QDialog& dialog) {
        note(dynamic_cast<CTipDialog&>(dialog));
        user::click(dynamic_cast<CTipDialog&>(dialog).startUpBox());
        user::click(dynamic_cast<CTipDialog&>(dialog).closeButton());
    });
    start();
    EXPECT_EQ(app->settings().value(u"Tip/StartUp"_s).toInt(), 1);
    // No answer is queued: a tip now would fail the test. The hidden tip still moves on.
    restart();
    EXPECT_EQ(app->settings().value(u"Tip/FilePos"_s).toLongLong(), 13);
    // The menu command shows tips whatever the setting (anything but 0 turns them off); Next Tip
    // shows the box as the setting says; Escape keeps the setting, Return is Close.
    app->settings().setValue(u"Tip/StartUp"_s, 7);
    dialogs.dialogSteps.push_back([&](QDialog& dialog) {
        auto& tips = dynamic_cast<CTipDialog&>(dialog);
        user::click(tips.startUpBox());
        note(tips);
        user::click(tips.nextTipButton());
        note(tips);
        user::click(tips.startUpBox());
        user::key(&dialog, Qt::Key_Escape);
    });
    dialogs.dialogSteps.push_back([](QDialog& dialog) {
        user::click(dynamic_cast<CTipDialog&>(dialog).startUpBox());
        user::key(&dialog, Qt::Key_Return);
    });
    // The Tip menu joins the bar once any menu has been opened.
    QMenuBar* bar = frame().menuBar();
    user::click(bar, bar->actionGeometry(bar->actions().constFirst()).center());
    user::key(QApplication::activePopupWidget(), Qt::Key_Escape);
    user::choose(&frame(), frame().actions().action(kTipOfTheDay));
    EXPECT_EQ(app->settings().value(u"Tip/StartUp"_s).toInt(), 7);
    user::choose(&frame(), frame().actions().action(kTipOfTheDay));
    EXPECT_EQ(app->settings().value(u"Tip/StartUp"_s).toInt(), 0);
    EXPECT_EQ(shown, (QStringList{u"First ticked"_s, u"First ticked"_s, u"Second"_s}));
}

TEST_F(StartUp, EmbeddingAndAutomationStartQuietlyNamedFilesAndLibrariesOpen) {
    writeFile(tips, "First\n");
    for (const char* option : {"-Embedding", "/Automation"}) {
        restart({QString::fromUtf8(option)});
        EXPECT_EQ(CSplashWindow::current(), nullptr) << option;
        EXPECT_FALSE(app->settings().contains(u"Tip/FilePos"_s)) << option;
    }
    const QString wood = path(u"wood.qvl"_s), onion = path(u"onion.qvl"_s);  // materials 2, 10
    ASSERT_TRUE(quorvel::writeTextureFile(local(wood), quorvel::materialDefaults(2)).ok());
    ASSERT_TRUE(quorvel::writeTextureFile(local(onion), quorvel::materialDefaults(10)).ok());
    ASSERT_TRUE(quorvel::writeLibraryFile(local(path(u"default.qlb"_s)),
                                          {{"\\onion.qvl", local(onion)}, {"\\x.qvl", "/gone"}})
                    .ok());
    restart({wood});
    EXPECT_NE(CSplashWindow::current(), nullptr);
    ASSERT_EQ(app->documents().size(), 1);
    EXPECT_EQ(activeDocument()->title(), u"wood.qvl"_s);
    const CLibraryStrip* strip = frame().libraryBar()->strip();
    ASSERT_EQ(strip->count(), 2);
    EXPECT_EQ(strip->entry(0).record.material, int8_t(quorvel::MaterialType::Onion));
    EXPECT_TRUE(strip->entry(1).fellBack());
    // A launcher passes several files at once: every document opens, a library replaces the
    // default one in the panel.
    ASSERT_TRUE(quorvel::writeLibraryFile(local(path(u"one.qlb"_s)), {{"\\w", local(wood)}}).ok());
    restart({wood, path(u"one.qlb"_s), onion});
    EXPECT_EQ(app->documents().size(), 2);
    ASSERT_EQ(frame().libraryBar()->strip()->count(), 1);
    EXPECT_EQ(frame().libraryBar()->strip()->entry(0).record.material, 2);
}

TEST_F(StartUp, TheSplashShowsTexturesUntilAClickAKeyOrTimeAndTheInputStillWorks) {
    start();
    const QImage picture = CSplashWindow::current()->grab().toImage();
    ASSERT_EQ(picture.size(), QSize(540, 336));
    QSet<QRgb> colours;  // rendered textures, not a flat picture
    for (int i = 0; i < 540 * 336; i += 31)
        colours.insert(picture.pixel(i % 540, i / 540));
    EXPECT_GT(colours.size(), 500);
    EXPECT_TRUE(waitUntil([] { return CSplashWindow::current() == nullptr; }, 5000));
    for (const bool byKey : {false, true}) {
        restart();
        ASSERT_NE(CSplashWindow::current(), nullptr);
        QAction* command = frame().actions().action(kNew);
        if (byKey)
            user::shortcut(&frame(), command);
        else
            user::click(frame().toolBar()->widgetForAction(command));
        EXPECT_EQ(CSplashWindow::current(), nullptr) << byKey;
        settle();
        EXPECT_EQ(app->documents().size(), 2) << byKey;
    }
}

TEST_F(StartUp, AboutShowsTheVersionAndOkClosesIt) {
    start();
    QStringList texts;
    dialogs.dialogSteps.push_back([&texts](QDialog& dialog) {
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            texts << label->text();
        user::click(dialog.findChild<QPushButton*>());
    });
    user::choose(&frame(), frame().actions().action(kAbout));
    EXPECT_TRUE(texts.contains(u"Quorvel Version 2.0"_s)) << qPrintable(texts.join(u'|'));
}
