#include "app/quorvelapp.h"

#include "app/aboutdialog.h"
#include "app/autosaver.h"
#include "app/childframe.h"
#include "app/clipboardcommands.h"
#include "app/commandactions.h"
#include "app/commandids.h"
#include "app/filecommands.h"
#include "app/helpwindow.h"
#include "app/imageformatdialog.h"
#include "app/mainframe.h"
#include "document/quorveldoc.h"
#include "app/quorvelview.h"
#include "app/recoverydialog.h"
#include "app/splashwindow.h"
#include "app/textureprinter.h"
#include "app/tipdialog.h"
#include "document/userdialogs.h"
#include "app/whatsthis.h"
#include "engine/defaults.h"
#include "engine/noise.h"
#include "files/libraryfile.h"
#include "files/searchpath.h"
#include "files/texturedocument.h"
#include "library/librarybar.h"
#include "library/librarycommands.h"
#include "panels/commandblock.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QMdiArea>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>
#include <QUndoStack>
#include <QUrl>
#include <QWhatsThis>

using namespace quorvel::command;

namespace {

const QString kFitToPageKey = QStringLiteral("Print/FitToPage");
const QString kAutosaveKey = QStringLiteral("Autosave/IntervalSeconds");
constexpr int kAutosaveSeconds = 30;

QString settingsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Quorvel.ini");
}

// The program's icon, the same pictures the desktop launcher shows.
QIcon programIcon() {
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/quorvel-%1.png").arg(side), QSize(side, side));
    return icon;
}

std::optional<std::string> findDataFile(const char* name) {
    return quorvel::findInFolders(name, quorvel::dataSearchPath());
}

}  // namespace

CQuorvelApp::CQuorvelApp()
    : mSettings(std::make_unique<QSettings>(settingsPath(), QSettings::IniFormat)),
      mFileCommands(std::make_unique<CFileCommands>(*this)), mSphereTable(kSphereTableBytes, 0) {}

CQuorvelApp::~CQuorvelApp() {
    // Windows go before the documents they show.
    mTexturePrinter.reset();
    mClipboard.reset();
    mMainFrame.reset();
    for (const QPointer<CQuorvelDoc>& document : std::as_const(mDocuments))
        delete document.data();
    // Last: a clean exit leaves no autosaved document behind.
    mAutosaver.reset();
}

bool CQuorvelApp::initInstance(const QStringList& arguments) {
    mCommandLine = parseCommandLine(arguments);
    if (answerCommandLine(mCommandLine, mExitCode))
        return false;
    CSplashWindow::enableSplash(mCommandLine.splash);
    mRecentFiles.load(*mSettings);

    mMainFrame = std::make_unique<CMainFrame>(*this);
    mPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    mTexturePrinter = std::make_unique<CTexturePrinter>(*mPrinter, mMainFrame.get());
    mClipboard = std::make_unique<CClipboardCommands>(mMainFrame.get());
    connect(mClipboard.get(), &CClipboardCommands::status, mMainFrame.get(),
            &CMainFrame::showStatusText);
    mTexturePrinter->setFitToPage(mSettings->value(kFitToPageKey, false).toBool());
    connectCommands();
    installWhatsThis(*mMainFrame, [this](const QString& page) { openHelpPage(page); });

    // The frame is shown (maximised) before the first document so that the document window
    // is fitted to the area the maximised frame leaves free; the noise tables come first
    // because the window starts rendering as soon as it shows.
    quorvel::initNoise();
    QApplication::setWindowIcon(programIcon());
    if (!mCommandLine.print) {
        mAutosaver = std::make_unique<CAutosaver>(
            mSettings->value(kAutosaveKey, kAutosaveSeconds).toInt());
        // Without a window manager "maximised" means nothing: fill the screen by hand as well.
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            mMainFrame->setGeometry(screen->availableGeometry());
        mMainFrame->showMaximized();
        // After the frame, so that the window manager stacks the splash above it; the splash
        // needs the noise tables for its picture.
        CSplashWindow::showSplash(mMainFrame.get());
    }
    // Documents open now; libraries once the default library is in, which they replace.
    QStringList libraries;
    bool opened = false;
    for (const QString& file : QStringList{mCommandLine.file} + mCommandLine.moreFiles) {
        if (file.isEmpty())
            continue;
        if (file.endsWith(QStringLiteral(".qlb"), Qt::CaseInsensitive))
            libraries.append(file);
        else
            opened = mFileCommands->ReadTextureFile(file) || opened;
    }
    if (mCommandLine.file.isEmpty() || (!opened && !libraries.isEmpty()))
        newDocument();
    loadSphereTable();

    if (mCommandLine.print) {
        mExitCode = printFromCommandLine() ? 0 : 1;
        return false;
    }
    mMainFrame->updateMenus();
    loadDefaultLibrary();
    for (const QString& library : libraries)
        mMainFrame->libraryBar()->commands()->readLibrary(QFileInfo(library).absoluteFilePath());
    offerRecovery();
    showStartUpTip();
    mMainFrame->commandBlock()->repaint();
    return true;
}

void CQuorvelApp::connectCommands() {
    CMainFrame* frame = mMainFrame.get();
    CCommandActions& actions = frame->actions();
    const auto on = [&actions, this](int id, auto&& work) {
        connect(actions.action(id), &QAction::triggered, this, work);
    };
    on(kNew, [this] { newDocument(); });
    on(kOpen, [this] { mFileCommands->open(); });
    on(kClose, [this, frame] { mFileCommands->closeDocument(frame->activeDocument()); });
    on(kSave, [this, frame] { mFileCommands->save(frame->activeDocument()); });
    on(kSaveAs, [this, frame] { mFileCommands->SaveTextureAs(frame->activeDocument()); });
    on(kExportMaps, [this, frame] { mFileCommands->exportMaps(frame->activeDocument()); });
    on(kPrint, [this] { print(); });
    on(kPrintPreview, [this] { printPreview(); });
    on(kPrintSetup, [this] { printSetup(); });
    for (int k = 1; k <= kRecentFileCount; ++k)
        on(kRecentFile1 + k - 1, [this, k] { mFileCommands->openRecent(k); });
    on(kExit, [frame] { frame->close(); });
    on(kImageFormat, [this] { imageFormat(); });
    on(kCopy, [this, frame] { mClipboard->copy(frame->activeDocument()); });
    on(kPaste, [this, frame] { mClipboard->paste(frame->activeDocument()); });
    on(kToolbar, [frame] { frame->togglePanel(frame->toolBar()); });
    on(kStatusBar, [frame] { frame->togglePanel(frame->statusBar()); });
    on(kLibrary, [frame] { frame->togglePanel(frame->libraryDock()); });
    on(kPalette, [frame] { frame->togglePanel(frame->paletteDock()); });
    on(kCommandBlock, [frame] { frame->togglePanel(frame->commandBlockDock()); });
    on(kNewWindow, [this] { newWindow(); });
    on(kCascade, [frame] { frame->cascade(); });
    on(kTile, [frame] { frame->tileHorizontally(); });
    on(kArrangeIcons, [frame] { frame->arrangeIcons(); });
    on(kHelpContents, [this] { openHelp(false); });
    on(kHelpIndex, [this] { openHelp(true); });
    on(kHelp,
       [this, frame] { openHelpPage(contextHelpPage(*frame, QApplication::focusWidget())); });
    on(kContextHelp, [] { QWhatsThis::enterWhatsThisMode(); });
    on(kAbout, [this] { about(); });
    on(kWebsite, [this] { website(); });
    on(kTipOfTheDay, [this] { tipOfTheDay(); });
}

QList<CQuorvelDoc*> CQuorvelApp::documents() const {
    QList<CQuorvelDoc*> open;
    for (const QPointer<CQuorvelDoc>& document : mDocuments)
        if (document)
            open.append(document.data());
    return open;
}

CChildFrame* CQuorvelApp::newDocument() {
    auto* document = new CQuorvelDoc(QStringLiteral("Quorve%1").arg(++mUntitledCount), this);
    mDocuments.append(document);
    if (mAutosaver)
        mAutosaver->watch(document);
    auto* frame = new CChildFrame(document);
    watchFrame(frame);
    mMainFrame->addChildFrame(frame);
    mMainFrame->refreshPanels(document);
    mMainFrame->fitChildFrame(frame, CMainFrame::Fit::New);
    return frame;
}

CChildFrame* CQuorvelApp::openLibraryTexture(const quorvel::TextureParams& record,
                                             const QString& path) {
    CChildFrame* frame = newDocument();
    CQuorvelDoc* document = frame->document();
    document->loadRecord(record);
    document->setPathName(path);
    mMainFrame->refreshPanels(document);
    mMainFrame->fitChildFrame(frame, CMainFrame::Fit::KeepPosition);
    // A copy of a library texture: no file holds it yet.
    document->markUnsaved();
    return frame;
}

void CQuorvelApp::offerRecovery() {
    if (!mAutosaver)
        return;
    std::vector<OrphanSession> orphans = CAutosaver::claimOrphans(mAutosaver->folder());
    QStringList titles;
    for (const OrphanSession& orphan : orphans)
        for (const RecoverableDocument& document : orphan.documents)
            titles.append(document.path.isEmpty() ? document.title
                                                  : QDir::toNativeSeparators(document.path));
    auto choice = CRecoveryDialog::Choice::Discard;  // folders with nothing in them just go
    if (!titles.isEmpty()) {
        CRecoveryDialog dialog(titles, mMainFrame.get());
        CUserDialogs::instance().runDialog(dialog);
        choice = dialog.choice();
    }
    if (choice == CRecoveryDialog::Choice::Later)
        return;
    // The empty texture every start opens gives way to what is recovered.
    QList<CQuorvelDoc*> untouched;
    for (CQuorvelDoc* document : documents())
        if (!document->isModified() && document->pathName().isEmpty() &&
            document->undoStack()->count() == 0)
            untouched.append(document);
    bool allRead = true;
    if (choice == CRecoveryDialog::Choice::Recover)
        for (const OrphanSession& orphan : orphans)
            for (const RecoverableDocument& document : orphan.documents)
                allRead = recoverDocument(document.file, document.title, document.path) && allRead;
    if (choice == CRecoveryDialog::Choice::Recover && documents().size() > untouched.size())
        for (CQuorvelDoc* document : untouched)
            mMainFrame->closeDocumentWindows(document);
    // What could not be read stays for another try.
    if (!allRead)
        return;
    for (OrphanSession& orphan : orphans) {
        orphan.lock->unlock();
        QDir(orphan.folder).removeRecursively();
    }
    // The recovered documents are safe again at once, not only at the next interval.
    mAutosaver->saveNow();
}

bool CQuorvelApp::recoverDocument(const QString& file, const QString& title, const QString& path) {
    quorvel::TextureParams record;
    const quorvel::FileStatus status =
        quorvel::readTextureDocument(QFile::encodeName(file).toStdString(), record);
    if (!status.ok()) {
        CUserDialogs::instance().tell(mMainFrame.get(), QString::fromStdString(status.message));
        return false;
    }
    CChildFrame* frame = newDocument();
    CQuorvelDoc* document = frame->document();
    document->loadRecord(record);
    document->setTitleAndPath(title.isEmpty() ? document->title() : title, path);
    document->markUnsaved();
    mMainFrame->refreshPanels(document);
    mMainFrame->fitChildFrame(frame, CMainFrame::Fit::KeepPosition);
    return true;
}

void CQuorvelApp::newWindow() {
    CChildFrame* active = mMainFrame->activeChildFrame();
    if (!active)
        return;
    auto* frame = new CChildFrame(active->document());
    watchFrame(frame);
    mMainFrame->addChildFrame(frame);
    mMainFrame->fitChildFrame(frame, CMainFrame::Fit::KeepPosition);
}

void CQuorvelApp::watchFrame(CChildFrame* frame) {
    CQuorvelDoc* document = frame->document();
    connect(frame, &CChildFrame::closeRequested, this, [this](CChildFrame* closing, bool* proceed) {
        *proceed = mFileCommands->PromptSaveDocument(closing->document());
    });
    connect(document, &CQuorvelDoc::titleChanged, frame, [this] { mMainFrame->updateWindowTitle(); });
    connect(document, &CQuorvelDoc::modifiedChanged, frame,
            [this] { mMainFrame->updateWindowTitle(); });
    connect(frame, &QObject::destroyed, this, [this, document] {
        // The frame is still in the area's list while it is destroyed: look afterwards.
        QMetaObject::invokeMethod(
            this, [this, document] { documentWindowGone(document); }, Qt::QueuedConnection);
    });
}

void CQuorvelApp::documentWindowGone(CQuorvelDoc* document) {
    if (!mMainFrame)
        return;
    bool shown = false;
    for (CChildFrame* frame : mMainFrame->childFrames())
        shown = shown || frame->document() == document;
    if (!shown && mDocuments.contains(document)) {
        mDocuments.removeAll(document);
        delete document;
    }
    mMainFrame->updateMenus();
}

bool CQuorvelApp::closeAllDocuments() {
    // Guarded pointers: nothing may close a document while another is being saved, but a
    // deleted one must never be asked about.
    const QList<QPointer<CQuorvelDoc>> open = mDocuments;
    for (const QPointer<CQuorvelDoc>& document : open)
        if (document && !mFileCommands->PromptSaveDocument(document.data()))
            return false;
    for (CChildFrame* frame : mMainFrame->childFrames())
        frame->closeWithoutPrompt();
    mRecentFiles.save(*mSettings);
    mSettings->sync();
    return true;
}

void CQuorvelApp::imageFormat() {
    CChildFrame* frame = mMainFrame->activeChildFrame();
    if (!frame)
        return;
    CQuorvelDoc* document = frame->document();
    const quorvel::TextureParams& record = document->record();
    CImageFormatDialog dialog(record.imageFormat, QSize(record.imageWidth, record.imageHeight),
                              mMainFrame.get());
    if (CUserDialogs::instance().runDialog(dialog) != QDialog::Accepted)
        return;
    const int selection = dialog.selection();
    std::optional<QSize> size;
    if (selection >= 0 && selection < CImageFormatDialog::kFreeFormat)
        size = CImageFormatDialog::presetSize(selection);
    else if (selection == CImageFormatDialog::kFreeFormat)
        size = dialog.freeSize();
    document->setImageFormat(selection, size);
    mMainFrame->fitChildFrame(frame, CMainFrame::Fit::MoveToOrigin);
}

void CQuorvelApp::print() {
    if (CChildFrame* frame = mMainFrame->activeChildFrame())
        mTexturePrinter->print(*frame->document(), frame->view());
    keepPrintChoices();
}

void CQuorvelApp::keepPrintChoices() {
    mSettings->setValue(kFitToPageKey, mTexturePrinter->fitToPage());
}

void CQuorvelApp::printPreview() {
    if (CChildFrame* frame = mMainFrame->activeChildFrame())
        mTexturePrinter->preview(*frame->document(), frame->view());
}

void CQuorvelApp::printSetup() {
    mTexturePrinter->setup();
    keepPrintChoices();
}

bool CQuorvelApp::printFromCommandLine() {
    CQuorvelDoc* document = mMainFrame->activeDocument();
    if (!document)
        return false;  // the reader has said why
    // A script must learn that nothing was printed: no silent fall-back to another printer.
    const QString printer =
        mCommandLine.printer.isEmpty() ? QPrinterInfo::defaultPrinterName() : mCommandLine.printer;
    QString problem;
    if (printer.isEmpty())
        problem = tr("No default printer is set: name one with -pt FILE PRINTER.");
    else if (const QStringList names = QPrinterInfo::availablePrinterNames();
             !names.contains(printer))
        problem =
            tr("There is no printer '%1'. %2")
                .arg(printer, names.isEmpty()
                                  ? tr("No printer is set up.")
                                  : tr("Printers: %1.").arg(names.join(QStringLiteral(", "))));
    if (!problem.isEmpty()) {
        CUserDialogs::instance().tell(mMainFrame.get(), problem);
        return false;
    }
    mPrinter->setPrinterName(printer);
    return mTexturePrinter->printDirect(*document);
}

void CQuorvelApp::loadSphereTable() {
    const std::optional<std::string> path = findDataFile("sphere.par");
    if (!path)
        return;
    QFile file(QString::fromStdString(*path));
    if (!file.open(QIODevice::ReadOnly))
        return;
    // Only a whole table is used: the picker shows a plain grey square without one.
    const auto size = static_cast<qint64>(mSphereTable.size());
    mSphereTableLoaded = file.read(reinterpret_cast<char*>(mSphereTable.data()), size) == size;
}

void CQuorvelApp::loadDefaultLibrary() {
    const std::optional<std::string> path = findDataFile("default.qlb");
    if (!path)
        return;
    std::vector<quorvel::LibraryFileEntry> entries;
    const quorvel::FileStatus status = quorvel::readLibraryFile(*path, entries);
    if (!status.ok()) {
        mMainFrame->statusBar()->showMessage(QString::fromStdString(status.message));
        return;
    }
    mMainFrame->libraryBar()->setEntries(std::move(entries));
}

void CQuorvelApp::openHelp(bool index) {
    openHelpPage(index ? CHelpWindow::kIndexPage : CHelpWindow::kContentsPage);
}

CHelpWindow* CQuorvelApp::helpWindow() const noexcept { return mHelpWindow; }

void CQuorvelApp::openHelpPage(const QString& page) {
    const QString name = QStringLiteral("help/") + page.section(QLatin1Char('#'), 0, 0);
    const std::optional<std::string> found = findDataFile(QFile::encodeName(name).constData());
    if (!found) {
        CUserDialogs::instance().tell(mMainFrame.get(),
                                      tr("The help pages of Quorvel could not be found."));
        return;
    }
    if (!mHelpWindow)
        mHelpWindow = new CHelpWindow(QFileInfo(QString::fromStdString(*found)).absolutePath(),
                                      mMainFrame.get());
    mHelpWindow->showPage(page);
}

void CQuorvelApp::about() {
    CAboutDialog dialog(mMainFrame.get());
    CUserDialogs::instance().runDialog(dialog);
}

void CQuorvelApp::tipOfTheDay() {
    CTipDialog dialog(*mSettings, CTipDialog::findTipsFile(), mMainFrame.get());
    CUserDialogs::instance().runDialog(dialog);
}

void CQuorvelApp::showStartUpTip() {
    if (!mCommandLine.splash)
        return;
    // Made even when it stays hidden: every start moves on to the next tip.
    CTipDialog dialog(*mSettings, CTipDialog::findTipsFile(), mMainFrame.get());
    if (dialog.showAtStartUp())
        CUserDialogs::instance().runDialog(dialog);
}

void CQuorvelApp::website() {
    // A link.html in the current folder comes first; usually it is the one shipped with the
    // program. The result is ignored: without a browser or the page nothing happens.
    const std::optional<std::string> page = findDataFile("link.html");
    if (!page)
        return;
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(QFileInfo(QString::fromStdString(*page)).absoluteFilePath()));
}
