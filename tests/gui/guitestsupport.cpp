#include "tests/gui/guitestsupport.h"

#include "app/childframe.h"
#include "app/mainframe.h"
#include "document/quorveldoc.h"
#include "app/quorvelview.h"
#include "tests/gui/userinput.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QProgressDialog>
#include <QTest>
#include <QThread>
#include <QTimer>

QMessageBox::StandardButton ScriptedDialogs::ask(QWidget* parent, const QString& text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::Icon icon) {
    questions.append(text);
    buttonSets.append(buttons);
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    } else if (buttons != QMessageBox::Ok) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        answer = buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::No;
    }
    if (!buttons.testFlag(answer)) {
        ADD_FAILURE() << "the box has no such answer: " << text.toStdString();
        return QMessageBox::NoButton;
    }
    // The real box opens and the user clicks the answer in it.
    user::answerLater(answer);
    return CUserDialogs::ask(parent, text, buttons, icon);
}

QStringList ScriptedDialogs::openFileNames(QWidget*, const FileDialogRequest& request) {
    fileRequests.append(request);
    if (openChoices.empty()) {
        ADD_FAILURE() << "unexpected open dialog: " << request.title.toStdString();
        return {};
    }
    QStringList choice = openChoices.front();
    openChoices.pop_front();
    return choice;
}

QString ScriptedDialogs::saveFileName(QWidget*, const FileDialogRequest& request) {
    fileRequests.append(request);
    if (saveChoices.empty()) {
        ADD_FAILURE() << "unexpected save dialog: " << request.title.toStdString();
        return {};
    }
    QString choice = saveChoices.front();
    saveChoices.pop_front();
    return choice;
}

QColor ScriptedDialogs::chooseColour(QWidget*, const QColor&) {
    if (colours.empty()) {
        ADD_FAILURE() << "unexpected colour chooser";
        return {};
    }
    QColor colour = colours.front();
    colours.pop_front();
    return colour;
}

int ScriptedDialogs::runDialog(QDialog& dialog) {
    if (dialogSteps.empty()) {
        ADD_FAILURE() << "unexpected dialog: " << dialog.windowTitle().toStdString();
        return QDialog::Rejected;
    }
    auto step = std::move(dialogSteps.front());
    dialogSteps.pop_front();
    QTimer::singleShot(0, &dialog, [&dialog, step = std::move(step)] {
        (void)QTest::qWaitForWindowExposed(&dialog);
        step(dialog);
        if (dialog.isVisible()) {
            ADD_FAILURE() << "the step left the dialog open: "
                          << dialog.windowTitle().toStdString();
            dialog.reject();
        }
    });
    return dialog.exec();
}

void GuiTest::SetUp() {
    ASSERT_TRUE(mFolder.isValid());
    mOldCurrent = QDir::currentPath();
    mOldHome = qgetenv("HOME");
    mOldConfig = qgetenv("XDG_CONFIG_HOME");
    mOldData = qgetenv("XDG_DATA_HOME");
    QDir(mFolder.path()).mkpath(QStringLiteral("home"));
    QDir(mFolder.path()).mkpath(QStringLiteral("config"));
    qputenv("HOME", QFile::encodeName(path(QStringLiteral("home"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(path(QStringLiteral("config"))));
    // Autosaves too stay in the test's own folder.
    qputenv("XDG_DATA_HOME", QFile::encodeName(path(QStringLiteral("data"))));
    // Tips at start-up off, or every start would open the Tip of the Day; the start-up tests
    // remove this profile.
    QFile profile(path(QStringLiteral("config/Quorvel.ini")));
    ASSERT_TRUE(profile.open(QIODevice::WriteOnly));
    profile.write("[Tip]\nStartUp=1\n");
    profile.close();
    QDir::setCurrent(mFolder.path());
    CUserDialogs::install(&dialogs);
}

void GuiTest::TearDown() {
    app.reset();
    settle();
    CUserDialogs::install(nullptr);
    QDir::setCurrent(mOldCurrent);
    qputenv("HOME", mOldHome);
    for (const auto& [name, old] : {std::pair("XDG_CONFIG_HOME", mOldConfig), {"XDG_DATA_HOME", mOldData}})
        old.isEmpty() ? void(qunsetenv(name)) : void(qputenv(name, old));
}

CQuorvelApp& GuiTest::start(const QStringList& arguments) {
    app = std::make_unique<CQuorvelApp>();
    const bool started = app->initInstance(arguments);
    EXPECT_TRUE(started) << "start-up failed";
    settle();
    return *app;
}

CMainFrame& GuiTest::frame() const { return *app->mainFrame(); }

CQuorvelDoc* GuiTest::activeDocument() const { return app->mainFrame()->activeDocument(); }

bool GuiTest::waitUntil(const std::function<bool()>& done, int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return done();
}

void GuiTest::settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        // Closed windows are deleted later; outside an event loop that needs asking.
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void GuiTest::finishRendering() const {
    for (CChildFrame* child : frame().childFrames()) {
        CQuorvelView* view = child->view();
        EXPECT_TRUE(waitUntil([view] { return !view->isRendering(); }));
    }
    settle();
}

void GuiTest::changeRecord(const std::function<void(quorvel::TextureParams&)>& change) const {
    quorvel::TextureParams record = activeDocument()->record();
    change(record);
    activeDocument()->loadRecord(record);
}

void whenProgressMoves(QObject* context, const std::function<void(QProgressDialog&)>& step) {
    QTimer::singleShot(50, context, [context, step] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QProgressDialog*>(widget);
            if (dialog && dialog->isVisible())
                return void(QObject::connect(
                    dialog->findChild<QProgressBar*>(), &QProgressBar::valueChanged, dialog,
                    [dialog, step] { step(*dialog); }, Qt::SingleShotConnection));
        }
        whenProgressMoves(context, step);
    });
}
