#pragma once

#include "app/commandline.h"
#include "app/recentfilelist.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class CAutosaver;
class CChildFrame;
class CClipboardCommands;
class CFileCommands;
class CHelpWindow;
class CMainFrame;
class CQuorvelDoc;
class CTexturePrinter;
class QPrinter;
class QSettings;
namespace quorvel {
struct TextureParams;
}

// The application: start-up, the documents in creation order, the settings and the
// application-wide commands (New, Exit, Image Format, panel toggles, printing, help, website).
// One instance lives while the program runs; the QApplication is made before it.
class CQuorvelApp : public QObject {
    Q_OBJECT

public:
    static constexpr size_t kSphereTableBytes = 244376;

    CQuorvelApp();
    ~CQuorvelApp() override;

    // Starts the program as `arguments` (without the program name) ask. Returns false when the
    // process should end at once; exitCode() then says with what.
    bool initInstance(const QStringList& arguments);
    int exitCode() const noexcept { return mExitCode; }

    CMainFrame* mainFrame() const noexcept { return mMainFrame.get(); }
    QSettings& settings() const noexcept { return *mSettings; }
    CRecentFileList& recentFiles() noexcept { return mRecentFiles; }
    CFileCommands& fileCommands() const noexcept { return *mFileCommands; }
    // Null when printing from a command line.
    CAutosaver* autosaver() const noexcept { return mAutosaver.get(); }
    const CommandLine& commandLine() const noexcept { return mCommandLine; }
    // The open documents in the order they were created.
    QList<CQuorvelDoc*> documents() const;
    // The sphere table for the light direction picker; empty when no sphere data was found.
    std::span<const uint8_t> sphereTable() const noexcept {
        return mSphereTableLoaded ? std::span<const uint8_t>(mSphereTable)
                                  : std::span<const uint8_t>();
    }

    // New: a Marble document titled Quorve1, Quorve2, ... in a window fitted to its image.
    CChildFrame* newDocument();
    // A new document holding a copy of a library texture, in a fitted window; its file is
    // `path` (not added to the recent files) and it is marked modified.
    CChildFrame* openLibraryTexture(const quorvel::TextureParams& record, const QString& path);
    // A second window on the active document.
    void newWindow();
    // Asks about every modified document in creation order, then closes every window and keeps
    // the recent-file list. Returns false, closing nothing, when a Yes could not be saved.
    bool closeAllDocuments();
    void imageFormat();
    void print();
    void printPreview();
    void printSetup();
    void openHelp(bool index);
    // Shows `page` ("view.html#drag") of the help in the help window, reused once open.
    void openHelpPage(const QString& page);
    // Null until help is first opened.
    CHelpWindow* helpWindow() const noexcept;
    void about();
    // Tip of the Day, whatever the start-up setting says.
    void tipOfTheDay();
    void website();

private:
    void connectCommands();
    // Not with -Embedding or -Automation, and shown only when tips are on at start-up.
    void showStartUpTip();
    void watchFrame(CChildFrame* frame);
    void documentWindowGone(CQuorvelDoc* document);
    void loadSphereTable();
    void loadDefaultLibrary();
    // Offers what programs that are no longer running left in their autosave folders.
    void offerRecovery();
    // Opens an autosaved document as the modified document it was; false when unreadable.
    bool recoverDocument(const QString& file, const QString& title, const QString& path);
    bool printFromCommandLine();
    // Stores the print dialog's choices of ours for the next run.
    void keepPrintChoices();

    std::unique_ptr<QSettings> mSettings;
    CRecentFileList mRecentFiles;
    CommandLine mCommandLine;
    std::unique_ptr<CMainFrame> mMainFrame;
    std::unique_ptr<CFileCommands> mFileCommands;
    std::unique_ptr<QPrinter> mPrinter;
    std::unique_ptr<CTexturePrinter> mTexturePrinter;
    std::unique_ptr<CClipboardCommands> mClipboard;
    std::unique_ptr<CAutosaver> mAutosaver;
    QList<QPointer<CQuorvelDoc>> mDocuments;
    int mUntitledCount = 0;
    std::vector<uint8_t> mSphereTable;
    bool mSphereTableLoaded = false;
    int mExitCode = 0;
    QPointer<CHelpWindow> mHelpWindow;
};
