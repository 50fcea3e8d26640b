#include "document/userdialogs.h"

#include "files/searchpath.h"

#include <QColorDialog>
#include <QDir>
#include <QFileInfo>
#include <QDialog>
#include <QFileDialog>

#include <memory>

namespace {

CUserDialogs* installed = nullptr;

QFileDialog* makeFileDialog(QWidget* parent, const FileDialogRequest& request) {
    auto* dialog = new QFileDialog(parent, request.title, request.folder);
    dialog->setNameFilters(request.filters);
    dialog->setDefaultSuffix(request.defaultSuffix);
    dialog->setOption(QFileDialog::ReadOnly, false);
    return dialog;
}

}  // namespace

QMessageBox::StandardButton CUserDialogs::ask(QWidget* parent, const QString& text,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::Icon icon) {
    QMessageBox box(icon, QStringLiteral("Quorvel"), text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QStringList CUserDialogs::openFileNames(QWidget* parent, const FileDialogRequest& request) {
    std::unique_ptr<QFileDialog> dialog(makeFileDialog(parent, request));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(request.severalFiles ? QFileDialog::ExistingFiles
                                             : QFileDialog::ExistingFile);
    if (dialog->exec() != QDialog::Accepted)
        return {};
    return dialog->selectedFiles();
}

QString CUserDialogs::saveFileName(QWidget* parent, const FileDialogRequest& request) {
    std::unique_ptr<QFileDialog> dialog(makeFileDialog(parent, request));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.initialName.isEmpty())
        dialog->selectFile(request.initialName);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().constFirst();
}

QColor CUserDialogs::chooseColour(QWidget* parent, const QColor& initial) {
    return QColorDialog::getColor(initial, parent);
}

int CUserDialogs::runDialog(QDialog& dialog) { return dialog.exec(); }

void CUserDialogs::tell(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
    ask(parent, text, QMessageBox::Ok, icon);
}

QString CUserDialogs::dialogFolder() {
    const QString folder = QString::fromStdString(quorvel::textureFolder());
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::currentPath();
}

void CUserDialogs::followChosenFolder(const QString& path) {
    QDir::setCurrent(QFileInfo(path).absolutePath());
}

CUserDialogs& CUserDialogs::instance() {
    static CUserDialogs standard;
    return installed ? *installed : standard;
}

void CUserDialogs::install(CUserDialogs* dialogs) { installed = dialogs; }
