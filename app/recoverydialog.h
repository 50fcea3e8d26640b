#pragma once

#include <QDialog>
#include <QStringList>

class QPushButton;

// Offers the documents a program that is no longer running left unsaved: Recover opens them,
// Discard deletes them, Later (or closing the dialog) keeps them for the next start.
class CRecoveryDialog : public QDialog {
    Q_OBJECT

public:
    enum class Choice { Recover, Discard, Later };

    CRecoveryDialog(const QStringList& titles, QWidget* parent = nullptr);

    Choice choice() const noexcept { return mChoice; }
    QPushButton* button(Choice which) const;

private:
    Choice mChoice = Choice::Later;
    QPushButton* mButtons[3] = {};
};
