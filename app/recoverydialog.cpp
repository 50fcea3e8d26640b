#include "app/recoverydialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CRecoveryDialog::CRecoveryDialog(const QStringList& titles, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Recover Textures"));
    auto* layout = new QVBoxLayout(this);
    auto* explanation = new QLabel(
        tr("Quorvel ended without saving these textures. Recover them now, discard them, or "
           "decide the next time Quorvel starts."));
    explanation->setWordWrap(true);
    layout->addWidget(explanation);
    auto* list = new QListWidget;
    list->addItems(titles);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox;
    const std::pair<Choice, QString> kinds[] = {
        {Choice::Recover, tr("&Recover")}, {Choice::Discard, tr("&Discard")}, {Choice::Later, tr("&Later")}};
    for (const auto& [which, text] : kinds) {
        QPushButton* button = buttons->addButton(
            text, which == Choice::Recover ? QDialogButtonBox::AcceptRole
                                            : (which == Choice::Discard ? QDialogButtonBox::DestructiveRole
                                                                        : QDialogButtonBox::RejectRole));
        mButtons[static_cast<int>(which)] = button;
        connect(button, &QPushButton::clicked, this, [this, which = which] {
            mChoice = which;
            which == Choice::Later ? reject() : accept();
        });
    }
    mButtons[static_cast<int>(Choice::Recover)]->setDefault(true);
    layout->addWidget(buttons);
}

QPushButton* CRecoveryDialog::button(Choice which) const { return mButtons[static_cast<int>(which)]; }
