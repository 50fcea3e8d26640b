#pragma once

#include <QColor>
#include <QMessageBox>
#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

// What a file dialog is asked for. Filters are Qt filter strings ("Texture File (*.qvl)").
struct FileDialogRequest {
    QString title;
    QString folder;       // the folder the dialog opens in
    QString initialName;  // the name proposed in a save dialog
    QStringList filters;
    QString defaultSuffix;     // added to a name typed without an extension
    bool severalFiles = true;  // an open dialog lets the user choose more than one file
    // A save dialog asks before a chosen file is replaced; off when the caller asks itself.
    bool confirmOverwrite = true;
};

// The one place where the program waits for the user: message boxes, file dialogs, the colour
// chooser and every modal dialog of its own go through the installed instance. The default
// shows the real dialogs; tests install a subclass that answers instead and still drives the
// program's own dialog widgets.
class CUserDialogs {
public:
    virtual ~CUserDialogs() = default;

    // A message box captioned "Quorvel"; returns the button pressed.
    virtual QMessageBox::StandardButton ask(QWidget* parent, const QString& text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::Icon icon);
    // Empty when cancelled.
    virtual QStringList openFileNames(QWidget* parent, const FileDialogRequest& request);
    virtual QString saveFileName(QWidget* parent, const FileDialogRequest& request);
    // An invalid colour when cancelled.
    virtual QColor chooseColour(QWidget* parent, const QColor& initial);
    // Runs a modal dialog and returns its result (QDialog::Accepted or Rejected).
    virtual int runDialog(QDialog& dialog);

    // Shows an error or a notice with an OK button.
    void tell(QWidget* parent, const QString& text, QMessageBox::Icon icon = QMessageBox::Warning);

    // The folder file dialogs open in: ~/qvl when it exists, else the current folder.
    static QString dialogFolder();
    // The file dialogs move the current folder to the one last chosen, so that a later Save of
    // an unnamed document lands beside the files the user works with.
    static void followChosenFolder(const QString& path);

    static CUserDialogs& instance();
    // Installs `dialogs` (not owned) as the instance; null restores the default.
    static void install(CUserDialogs* dialogs);
};
