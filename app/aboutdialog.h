#pragma once

#include <QDialog>

// "About Quorvel": the program's icon, its name and version, what it is and its copyright.
// OK or Escape closes it.
class CAboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDialog(QWidget* parent = nullptr);
};
