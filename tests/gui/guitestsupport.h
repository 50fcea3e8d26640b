#pragma once

#include "app/quorvelapp.h"
#include "document/userdialogs.h"
#include "panels/panelhost.h"
#include "tests/gui/userinput.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>

#include <ostream>

// Readable strings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

class CChildFrame;
class CQuorvelDoc;
class QProgressDialog;

// Runs `step` on the progress dialog of the work started next once it is up, as its bar moves:
// that is, while the dialog's own update is under way.
void whenProgressMoves(QObject* context, const std::function<void(QProgressDialog&)>& step);

// The user's side of every modal interaction, scripted: each question takes the next queued
// answer and is recorded; an unexpected question fails the test and is answered No / Cancel.
class ScriptedDialogs : public CUserDialogs {
public:
    QMessageBox::StandardButton ask(QWidget* parent, const QString& text,
                                    QMessageBox::StandardButtons buttons,
                                    QMessageBox::Icon icon) override;
    QStringList openFileNames(QWidget* parent, const FileDialogRequest& request) override;
    QString saveFileName(QWidget* parent, const FileDialogRequest& request) override;
    QColor chooseColour(QWidget* parent, const QColor& initial) override;
    int runDialog(QDialog& dialog) override;

    std::deque<QMessageBox::StandardButton> answers;
    std::deque<QStringList> openChoices;
    std::deque<QString> saveChoices;  // an empty string cancels
    std::deque<QColor> colours;
    // Each acts on the shown modal dialog through the user's input and must close it (OK or
    // Cancel); the dialog's result is what the program sees.
    std::deque<std::function<void(QDialog&)>> dialogSteps;

    QStringList questions;  // every message box text, in order
    QList<QMessageBox::StandardButtons> buttonSets;
    QList<FileDialogRequest> fileRequests;
};

// A host for a panel made on its own: no document, no views, no sphere data.
class NoDocumentHost : public CPanelHost {
public:
    CQuorvelDoc* activeDocument() const override { return nullptr; }
    void redrawActiveView() override {}
    void showPrompt(const QString&) override {}
    std::span<const uint8_t> sphereTable() const override { return {}; }
};

// A fresh program for each test: settings, home folder (and so ~/qvl) and current folder in a
// temporary folder, the scripted dialogs installed.
class GuiTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program with `arguments`; fails the test when start-up does.
    CQuorvelApp& start(const QStringList& arguments = {});
    CMainFrame& frame() const;
    CQuorvelDoc* activeDocument() const;
    QString path(const QString& name) const { return mFolder.filePath(name); }
    // Handles events until `done` holds or `milliseconds` pass; returns `done()`.
    static bool waitUntil(const std::function<bool()>& done, int milliseconds = 10000);
    // Lets queued work (window closes, document removal) run.
    static void settle();
    // Renders every visible view to the end.
    void finishRendering() const;
    // Set-up: the active document takes its record changed by `change` as if read from a file
    // (no edit, unmodified).
    void changeRecord(const std::function<void(quorvel::TextureParams&)>& change) const;

    ScriptedDialogs dialogs;
    std::unique_ptr<CQuorvelApp> app;

private:
    QTemporaryDir mFolder;
    QString mOldCurrent;
    QByteArray mOldHome;
    QByteArray mOldConfig;
    QByteArray mOldData;
};
