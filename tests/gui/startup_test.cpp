#include "tests/gui/guitestsupport.h"

#include "app/commandactions.h"
#include "app/commandids.h"
#include "app/mainframe.h"
#include "app/splashwindow.h"
#include "app/tipdialog.h"
#include "panels/commandblock.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QSettings>
#include <QTest>
#include <QToolBar>

using namespace quorvel::command;

namespace {

const QString kStartUp = QStringLiteral("Tip/StartUp");
const QString kFilePos = QStringLiteral("Tip/FilePos");
const QString kTimeStamp = QStringLiteral("Tip/TimeStamp");

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

void setFileTime(const QString& path, const QDateTime& time) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
}

void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

// Every tip the dialog shows, starting with the one it opened with.
QStringList tipsShown(CTipDialog& dialog, int count) {
    QStringList tips{dialog.tipLabel()->text()};
    for (int i = 1; i < count; ++i) {
        click(dialog.nextTipButton());
        tips.append(dialog.tipLabel()->text());
    }
    return tips;
}

}  // namespace

// The dialog on its own, with a profile and a tips file in the test's folder.
class TipDialog : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        mSettings =
            std::make_unique<QSettings>(path(QStringLiteral("tips.ini")), QSettings::IniFormat);
    }

    QString tipsPath() const { return path(QStringLiteral("tips.txt")); }
    QSettings& settings() const { return *mSettings; }

private:
    std::unique_ptr<QSettings> mSettings;
};

TEST_F(TipDialog, ShowsTipLinesInFileOrderAndWrapsAfterTheLast) {
    writeFile(tipsPath(), "; a comment\n"
                          "First tip\n"
                          "  an indented line\n"
                          "\ta tabbed line\n"
                          "\n"
                          "Second tip\r\n"
                          ";another comment\n"
                          "Third tip");
    {
        CTipDialog dialog(settings(), tipsPath());
        dialog.show();
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Tip of the Day"));
        EXPECT_EQ(tipsShown(dialog, 5),
                  (QStringList{QStringLiteral("First tip"), QStringLiteral("Second tip"),
                               QStringLiteral("Third tip"), QStringLiteral("First tip"),
                               QStringLiteral("Second tip")}));
    }
    // The position outlives the dialog: the next one goes on after the tip shown last.
    CTipDialog again(settings(), tipsPath());
    EXPECT_EQ(again.tip(), QStringLiteral("Third tip"));
}

TEST_F(TipDialog, SplitsLinesLongerThanTheLineBuffer) {
    const QByteArray line(1500, 'x');
    writeFile(tipsPath(), line + "\nShort tip\n");
    CTipDialog dialog(settings(), tipsPath());
    dialog.show();
    EXPECT_EQ(tipsShown(dialog, 3),
              (QStringList{QString(999, QLatin1Char('x')), QString(501, QLatin1Char('x')),
                           QStringLiteral("Short tip")}));
}

TEST_F(TipDialog, OnlyCloseWritesTheStartUpSetting) {
    writeFile(tipsPath(), "Only tip\n");
    {
        CTipDialog dialog(settings(), tipsPath());
        dialog.show();
        EXPECT_TRUE(dialog.showAtStartUp());
        EXPECT_TRUE(dialog.startUpBox()->isChecked());
        click(dialog.startUpBox());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    {
        CTipDialog dialog(settings(), tipsPath());
        dialog.show();
        click(dialog.startUpBox());
        dialog.close();  // the close box
    }
    EXPECT_FALSE(settings().contains(kStartUp));

    {
        CTipDialog dialog(settings(), tipsPath());
        dialog.show();
        EXPECT_TRUE(dialog.startUpBox()->isChecked());
        click(dialog.startUpBox());
        click(dialog.closeButton());
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_FALSE(dialog.showAtStartUp());
    }
    EXPECT_EQ(settings().value(kStartUp).toInt(), 1);

    CTipDialog dialog(settings(), tipsPath());
    dialog.show();
    EXPECT_FALSE(dialog.showAtStartUp());
    EXPECT_FALSE(dialog.startUpBox()->isChecked());
    click(dialog.startUpBox());
    QTest::keyClick(&dialog, Qt::Key_Return);  // Close is the default button
    EXPECT_EQ(settings().value(kStartUp).toInt(), 0);
}

TEST_F(TipDialog, NextTipShowsTheBoxAsTheSettingSays) {
    writeFile(tipsPath(), "One\nTwo\n");
    settings().setValue(kStartUp, 7);  // anything but 0 turns tips off
    CTipDialog dialog(settings(), tipsPath());
    dialog.show();
    EXPECT_FALSE(dialog.startUpBox()->isChecked());
    click(dialog.startUpBox());
    EXPECT_TRUE(dialog.startUpBox()->isChecked());
    click(dialog.nextTipButton());
    EXPECT_EQ(dialog.tip(), QStringLiteral("Two"));
    EXPECT_FALSE(dialog.startUpBox()->isChecked());
}

TEST_F(TipDialog, ANewFileTimeStartsAgainAtTheFirstTip) {
    writeFile(tipsPath(), "One\nTwo\nThree\n");
    setFileTime(tipsPath(), QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5)));
    {
        CTipDialog dialog(settings(), tipsPath());
        dialog.show();
        click(dialog.nextTipButton());
        EXPECT_EQ(dialog.tip(), QStringLiteral("Two"));
    }
    EXPECT_EQ(settings().value(kTimeStamp).toString(), QStringLiteral("Thu Jan  2 03:04:05 2020"));
    EXPECT_EQ(settings().value(kFilePos).toLongLong(), 8);
    {
        CTipDialog dialog(settings(), tipsPath());
        EXPECT_EQ(dialog.tip(), QStringLiteral("Three"));
    }

    setFileTime(tipsPath(), QDateTime(QDate(2021, 11, 20), QTime(21, 0, 59)));
    CTipDialog dialog(settings(), tipsPath());
    EXPECT_EQ(dialog.tip(), QStringLiteral("One"));
    EXPECT_EQ(settings().value(kTimeStamp).toString(), QStringLiteral("Sat Nov 20 21:00:59 2021"));
}

TEST_F(TipDialog, AMissingFileIsSaidAndNothingIsRemembered) {
    for (const QString& missing : {path(QStringLiteral("nowhere/tips.txt")), QString()}) {
        {
            CTipDialog dialog(settings(), missing);
            dialog.show();
            EXPECT_EQ(dialog.tipLabel()->text(),
                      QStringLiteral("The file Tips.txt does not exist in the current directory"));
            EXPECT_FALSE(dialog.nextTipButton()->isEnabled());
            EXPECT_TRUE(dialog.closeButton()->isEnabled());
        }
        EXPECT_FALSE(settings().contains(kFilePos));
        EXPECT_FALSE(settings().contains(kTimeStamp));
    }
}

TEST_F(TipDialog, AFileWithoutTipsEndsTheSearch) {
    for (const QByteArray& contents :
         {QByteArray(), QByteArray("; only a comment\n  indented\n\n\t\n;\n"), QByteArray("\n")}) {
        writeFile(tipsPath(), contents);
        CTipDialog dialog(settings(), tipsPath());
        dialog.show();
        click(dialog.nextTipButton());
        EXPECT_FALSE(dialog.tip().isEmpty());
        EXPECT_FALSE(dialog.tip().startsWith(QLatin1Char(';')));
        EXPECT_TRUE(dialog.isVisible());
    }
}

TEST_F(TipDialog, APositionThatCannotBeSoughtIsReported) {
    writeFile(tipsPath(), "One\nTwo\n");
    settings().setValue(kTimeStamp, CTipDialog::fileTimeStamp(tipsPath()));
    settings().setValue(kFilePos, -3);
    {
        CTipDialog dialog(settings(), tipsPath());
        EXPECT_EQ(dialogs.questions, QStringList{QStringLiteral("Problem Reading the File")});
        EXPECT_TRUE(dialog.tip().isEmpty());
    }
    // The file stayed open, so the next dialog starts from a position that works.
    CTipDialog dialog(settings(), tipsPath());
    EXPECT_EQ(dialog.tip(), QStringLiteral("One"));
    EXPECT_EQ(dialogs.questions.size(), 1);
}

// Starting the program: splash, start-up tip and About.
class StartUp : public GuiTest {
protected:
    // A fresh profile, which asks for tips at start-up, and tips in the current folder.
    void freshProfileWithTips(const QByteArray& tips) {
        ASSERT_TRUE(QFile::remove(path(QStringLiteral("config/Quorvel.ini"))));
        writeFile(path(QStringLiteral("tips.txt")), tips);
    }

    void restart(const QStringList& arguments = {}) {
        app.reset();
        settle();
        start(arguments);
    }
};

TEST_F(StartUp, AFreshProfileShowsTheTipAfterTheMainWindowUntilTurnedOff) {
    freshProfileWithTips("First\nSecond\n");
    QString title;
    QString tip;
    bool mainWindowShown = false;
    dialogs.dialogSteps.push_back([&](QDialog& dialog) {
        auto& tips = dynamic_cast<CTipDialog&>(dialog);
        title = tips.windowTitle();
        tip = tips.tip();
        mainWindowShown = app->mainFrame()->isVisible();
        click(tips.startUpBox());
        click(tips.closeButton());
        return tips.result();
    });
    start();
    EXPECT_TRUE(dialogs.dialogSteps.empty());
    EXPECT_EQ(title, QStringLiteral("Tip of the Day"));
    EXPECT_EQ(tip, QStringLiteral("First"));
    EXPECT_TRUE(mainWindowShown);
    EXPECT_EQ(app->settings().value(kStartUp).toInt(), 1);

    // No step is queued: a tip now would fail the test. The hidden tip still moves on.
    restart();
    EXPECT_EQ(app->settings().value(kFilePos).toLongLong(), 13);

    // The menu command shows the dialog whatever the setting.
    QAction* command = frame().actions().action(kTipOfTheDay);
    EXPECT_TRUE(command->isEnabled());
    dialogs.dialogSteps.push_back([&](QDialog& dialog) {
        tip = dynamic_cast<CTipDialog&>(dialog).tip();
        return QDialog::Rejected;
    });
    command->trigger();
    EXPECT_TRUE(dialogs.dialogSteps.empty());
    EXPECT_EQ(tip, QStringLiteral("First"));
}

TEST_F(StartUp, EmbeddingAndAutomationStartWithoutSplashOrTip) {
    freshProfileWithTips("A tip\n");
    for (const char* option : {"-Embedding", "/Embedding", "-Automation", "/Automation"}) {
        restart({QString::fromUtf8(option)});
        EXPECT_EQ(CSplashWindow::current(), nullptr) << option;
        EXPECT_FALSE(app->settings().contains(kFilePos)) << option;
        EXPECT_FALSE(app->settings().contains(kStartUp)) << option;
    }
    dialogs.dialogSteps.push_back([](QDialog&) { return int(QDialog::Rejected); });
    restart();
    EXPECT_NE(CSplashWindow::current(), nullptr);
    EXPECT_TRUE(dialogs.dialogSteps.empty());
}

TEST_F(StartUp, TheSplashShowsTexturesAndGoesAwayByItself) {
    start();
    const QPointer<CSplashWindow> splash = CSplashWindow::current();
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_EQ(splash->size(), QSize(CSplashWindow::kWidth, CSplashWindow::kHeight));
    EXPECT_EQ(splash->parentWidget(), &frame());

    // Rendered textures, not a flat picture.
    const QImage picture = splash->grab().toImage();
    ASSERT_EQ(picture.size(), QSize(540, 336));
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 3)
        for (int x = 0; x < picture.width(); x += 3)
            colours.insert(picture.pixel(x, y));
    EXPECT_GT(colours.size(), 500);

    EXPECT_TRUE(waitUntil([] { return CSplashWindow::current() == nullptr; }, 5000));
    settle();
    EXPECT_TRUE(splash.isNull());
    EXPECT_TRUE(frame().isVisible());
}

TEST_F(StartUp, AClickHidesTheSplashAndStillDoesItsWork) {
    start();
    ASSERT_NE(CSplashWindow::current(), nullptr);
    click(frame().toolBar()->widgetForAction(frame().actions().action(kNew)));
    EXPECT_EQ(CSplashWindow::current(), nullptr);
    settle();
    EXPECT_EQ(app->documents().size(), 2);
}

TEST_F(StartUp, AKeyHidesTheSplashAndStillDoesItsWork) {
    start();
    ASSERT_NE(CSplashWindow::current(), nullptr);
    QComboBox* materials = frame().commandBlock()->materialList();
    QTest::keyClick(materials, Qt::Key_Down);
    EXPECT_EQ(CSplashWindow::current(), nullptr);
    EXPECT_EQ(materials->currentIndex(), 2);
}

TEST_F(StartUp, AboutShowsNameVersionAndCopyright) {
    start();
    QString title;
    QStringList texts;
    bool hasIcon = false;
    dialogs.dialogSteps.push_back([&](QDialog& dialog) {
        title = dialog.windowTitle();
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            if (!label->text().isEmpty())
                texts.append(label->text());
            hasIcon = hasIcon || !label->pixmap().isNull();
        }
        const QList<QPushButton*> buttons = dialog.findChildren<QPushButton*>();
        EXPECT_EQ(buttons.size(), 1);
        EXPECT_EQ(buttons.value(0)->text(), QStringLiteral("OK"));
        EXPECT_TRUE(buttons.value(0)->isDefault());
        click(buttons.value(0));
        return dialog.result();
    });
    dialogs.dialogSteps.push_back([](QDialog& dialog) {
        // As a modal dialog it would be the active window, so the main window's own Escape
        // (stop rendering) would not take the key.
        QApplication::setActiveWindow(&dialog);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible());
        return dialog.result();
    });
    QAction* about = frame().actions().action(kAbout);
    about->trigger();
    about->trigger();
    EXPECT_TRUE(dialogs.dialogSteps.empty());
    EXPECT_EQ(title, QStringLiteral("About Quorvel"));
    ASSERT_EQ(texts.size(), 3);
    EXPECT_EQ(texts[0], QStringLiteral("Quorvel Version 2.0"));
    EXPECT_EQ(texts[2], QString::fromUtf8("Copyright \u00a9 2026 the Quorvel developers"));
    EXPECT_TRUE(hasIcon);
}
