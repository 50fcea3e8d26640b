#pragma once

#include "document/userdialogs.h"

// The user's side when the program runs from a command line with no one at a window (printing
// with -p or -pt): every message goes to standard error as "quorvel: error: ...", every
// question is answered No (or Cancel), and no dialog opens.
class CConsoleDialogs : public CUserDialogs {
public:
    QMessageBox::StandardButton ask(QWidget* parent, const QString& text,
                                    QMessageBox::StandardButtons buttons,
                                    QMessageBox::Icon icon) override;
    QStringList openFileNames(QWidget* parent, const FileDialogRequest& request) override;
    QString saveFileName(QWidget* parent, const FileDialogRequest& request) override;
    QColor chooseColour(QWidget* parent, const QColor& initial) override;
    int runDialog(QDialog& dialog) override;
};
