#include "app/consoledialogs.h"

#include <QDialog>

#include <cstdio>

QMessageBox::StandardButton CConsoleDialogs::ask(QWidget*, const QString& text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::Icon) {
    const QByteArray line = text.simplified().toLocal8Bit();
    std::fprintf(stderr, "quorvel: error: %s\n", line.constData());
    for (const QMessageBox::StandardButton safe : {QMessageBox::Cancel, QMessageBox::No})
        if (buttons.testFlag(safe))
            return safe;
    return QMessageBox::Ok;
}

QStringList CConsoleDialogs::openFileNames(QWidget*, const FileDialogRequest&) { return {}; }

QString CConsoleDialogs::saveFileName(QWidget*, const FileDialogRequest&) { return {}; }

QColor CConsoleDialogs::chooseColour(QWidget*, const QColor&) { return {}; }

int CConsoleDialogs::runDialog(QDialog&) { return QDialog::Rejected; }
