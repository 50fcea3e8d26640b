#include "app/filecommands.h"

#include "app/backgroundtask.h"
#include "app/childframe.h"
#include "app/exportmapsdialog.h"
#include "app/mainframe.h"
#include "app/quorvelapp.h"
#include "app/recentfilelist.h"
#include "document/quorveldoc.h"
#include "document/userdialogs.h"
#include "files/exportformat.h"
#include "files/imageexport.h"
#include "files/mapexport.h"
#include "files/searchpath.h"
#include "files/texturedocument.h"
#include "files/tprfile.h"

#include <QDir>
#include <QFileInfo>

using namespace quorvel;

namespace {

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString messageText(const FileStatus& status) { return QString::fromStdString(status.message); }

}  // namespace

CFileCommands::CFileCommands(CQuorvelApp& app) : mApp(app) {}

void CFileCommands::report(const FileStatus& status) {
    if (!status.ok())
        CUserDialogs::instance().tell(mApp.mainFrame(), messageText(status));
}

bool CFileCommands::ReadTextureFile(const QString& path) {
    TextureParams record;
    const FileStatus status = readTextureDocument(localPath(path), record);
    if (!status.ok()) {
        report(status);
        return false;
    }
    CChildFrame* frame = mApp.newDocument();
    CQuorvelDoc* document = frame->document();
    document->loadRecord(record);
    document->setPathName(QFileInfo(path).absoluteFilePath());
    remember(document->pathName());
    mApp.mainFrame()->refreshPanels(document);
    mApp.mainFrame()->fitChildFrame(frame, CMainFrame::Fit::KeepPosition);
    return true;
}

void CFileCommands::open() {
    FileDialogRequest request;
    request.title = QStringLiteral("Open and Load a Texture");
    request.folder = CUserDialogs::dialogFolder();
    request.filters = {QStringLiteral("Texture File (*.qvl)")};
    request.defaultSuffix = QStringLiteral("qvl");
    const QStringList files = CUserDialogs::instance().openFileNames(mApp.mainFrame(), request);
    for (const QString& file : files) {
        const QString path = QFileInfo(file).absoluteFilePath();
        CUserDialogs::followChosenFolder(path);
        ReadTextureFile(path);
    }
}

void CFileCommands::openRecent(int k) {
    const QString path = mApp.recentFiles().entry(k);
    mApp.mainFrame()->showStatusText(path);
    if (path.isEmpty()) {
        CUserDialogs::instance().tell(mApp.mainFrame(), tr("Recent file %1 is not set.").arg(k));
        return;
    }
    ReadTextureFile(path);
}

void CFileCommands::remember(const QString& path) {
    mApp.recentFiles().add(path);
    // Stored at once: the profile then never disagrees with the menu, even after a crash.
    mApp.recentFiles().save(mApp.settings());
    mApp.mainFrame()->updateMenus();
}

bool CFileCommands::save(CQuorvelDoc* document) {
    if (!document)
        return false;
    QString target = document->pathName();
    if (target.isEmpty()) {
        target = document->title();
        if (!target.contains(QLatin1Char('.')))
            target += QStringLiteral(".qvl");
        // Relative to the current folder; named in full in any message.
        target = QFileInfo(target).absoluteFilePath();
    }
    // The texture folder is made on its first use, as a library texture's Save is.
    const QString folder = QString::fromStdString(textureFolder());
    if (!folder.isEmpty() && QFileInfo(target).absolutePath() == QDir(folder).absolutePath())
        QDir().mkpath(folder);
    const FileStatus status = writeTextureFile(localPath(target), document->record());
    report(status);
    if (status.ok())
        document->markSaved();
    // A bare Save picks its folder itself: the user must see where the file went.
    if (status.ok())
        mApp.mainFrame()->showStatusText(tr("Saved %1").arg(QDir::toNativeSeparators(target)));
    return status.ok();
}

FileStatus CFileCommands::writeImage(CQuorvelDoc* document, const QString& path, int format,
                                     bool* cancelled) {
    // The export works on a copy, so that edits arriving meanwhile cannot race with it.
    TextureParams record = document->record();
    ExportResult result{FileStatus::success(), false};
    runInBackground(
        mApp.mainFrame(), tr("Exporting %1...").arg(QFileInfo(path).fileName()),
        [&](const std::atomic<bool>& cancel, const std::function<void(int, int)>& progress) {
            ExportOptions options;
            options.cancel = &cancel;
            options.progress = progress;
            result =
                exportTexture(localPath(path), static_cast<ExportFormat>(format), record, options);
        });
    *cancelled = result.cancelled;
    return result.status;
}

bool CFileCommands::SaveTextureAs(CQuorvelDoc* document) {
    if (!document)
        return false;
    FileDialogRequest request;
    request.title = QStringLiteral("Save a Texture");
    request.folder = CUserDialogs::dialogFolder();
    request.initialName = document->title().section(QLatin1Char('.'), 0, 0);
    request.filters = {QStringLiteral("Quorvel Files (*.qvl)"),
                       QStringLiteral("Halvane Files (*.tpr)"),
                       QStringLiteral("Truevision Targa Files (*.tga)"),
                       QStringLiteral("JPEG Files (*.jpg)"), QStringLiteral("PNG Files (*.png)")};
    request.defaultSuffix = QStringLiteral("qvl");
    const QString chosen = CUserDialogs::instance().saveFileName(mApp.mainFrame(), request);
    if (chosen.isEmpty())
        return false;
    const QString path = QFileInfo(chosen).absoluteFilePath();
    CUserDialogs::followChosenFolder(path);

    const std::optional<ExportFormat> format = exportFormatForPath(localPath(path));
    if (!format) {
        CUserDialogs::instance().tell(
            mApp.mainFrame(), tr("Cannot save '%1': no writer handles this extension.\n"
                                 "Use one of: %2.")
                                  .arg(path, QString::fromStdString(supportedExtensions())));
        return false;
    }
    if (*format == ExportFormat::TextureDocument) {
        const FileStatus status = writeTextureFile(localPath(path), document->record());
        report(status);
        if (!status.ok())
            return false;
        document->setPathName(path);
        document->markSaved();
        remember(path);
        return true;
    }
    if (*format == ExportFormat::Tpr) {
        const FileStatus status = writeTprFile(localPath(path), document->record());
        report(status);
        return status.ok();
    }
    bool cancelled = false;
    const FileStatus status = writeImage(document, path, static_cast<int>(*format), &cancelled);
    if (!cancelled)
        report(status);
    return status.ok() && !cancelled;
}

bool CFileCommands::exportMaps(CQuorvelDoc* document) {
    if (!document)
        return false;
    const QString proposed = QDir(CUserDialogs::dialogFolder())
                                 .filePath(document->title().section(QLatin1Char('.'), 0, 0));
    CExportMapsDialog dialog(proposed,
                             QSize(document->record().imageWidth, document->record().imageHeight),
                             mApp.mainFrame());
    dialog.restoreChoices(mApp.settings());
    if (CUserDialogs::instance().runDialog(dialog) != QDialog::Accepted)
        return false;
    // The texture as it is when OK is pressed: edits made during the export cannot reach it.
    TextureParams record = document->record();
    const MapExportChoice choice = dialog.choice();
    dialog.keepChoices(mApp.settings());
    CUserDialogs::followChosenFolder(choice.base);

    const QStringList targets = CExportMapsDialog::targets(choice);
    QStringList existing;
    // A folder in a target's place is no file to replace: the export names it as it fails.
    for (const QString& target : targets)
        if (QFileInfo(target).exists() && !QFileInfo(target).isDir())
            existing.append(QDir::toNativeSeparators(target));
    if (!existing.isEmpty() &&
        CUserDialogs::instance().ask(mApp.mainFrame(),
                                     tr("These files exist already:\n%1\nReplace them?")
                                         .arg(existing.join(QLatin1Char('\n'))),
                                     QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::Question) != QMessageBox::Yes)
        return false;

    ExportResult result{FileStatus::success(), false};
    runInBackground(
        mApp.mainFrame(), tr("Exporting the maps of %1...").arg(document->title()),
        [&](const std::atomic<bool>& cancel, const std::function<void(int, int)>& progress) {
            ExportOptions options;
            options.cancel = &cancel;
            options.progress = progress;
            result = quorvel::exportMaps(
                localPath(choice.base), choice.format, choice.kinds, record,
                Sampling::image(record.imageWidth, record.imageHeight), choice.settings, options);
        });
    if (result.cancelled) {
        mApp.mainFrame()->showStatusText(tr("Export Maps cancelled: no file was written."));
        return false;
    }
    if (!result.ok()) {
        report(result.status);
        return false;
    }
    QStringList names;
    for (const QString& target : targets)
        names.append(QFileInfo(target).fileName());
    mApp.mainFrame()->showStatusText(
        tr("Exported %1 to %2")
            .arg(names.join(QStringLiteral(", ")),
                 QDir::toNativeSeparators(QFileInfo(choice.base).absolutePath())));
    return true;
}

bool CFileCommands::PromptSaveDocument(CQuorvelDoc* document) {
    if (!document || !document->isModified())
        return true;
    const QString text = QStringLiteral("The Document  ") + document->title() +
                         QStringLiteral(" has been modified !!\n") +
                         QStringLiteral("Do you wish to Save your Current Work ??");
    const auto answer = CUserDialogs::instance().ask(
        mApp.mainFrame(), text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
        QMessageBox::Question);
    // Cancel keeps the window, and every other window, open.
    if (answer == QMessageBox::Cancel)
        return false;
    if (answer != QMessageBox::Yes)
        return true;
    // Answering Yes must never lose the document: without a save the close stops here.
    return SaveTextureAs(document);
}

bool CFileCommands::closeDocument(CQuorvelDoc* document) {
    if (!document)
        return false;
    if (document->isModified()) {
        const QString name =
            document->pathName().isEmpty() ? document->title() : document->pathName();
        const auto answer = CUserDialogs::instance().ask(
            mApp.mainFrame(), QStringLiteral("Save changes to %1?").arg(name),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Warning);
        if (answer == QMessageBox::Cancel)
            return false;
        if (answer == QMessageBox::Yes && !save(document))
            return false;
    }
    mApp.mainFrame()->closeDocumentWindows(document);
    return true;
}
