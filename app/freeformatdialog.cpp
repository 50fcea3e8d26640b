#include "app/freeformatdialog.h"

#include "document/userdialogs.h"
#include "panels/twopanedialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

CFreeFormatDialog::CFreeFormatDialog(int horizontal, int vertical, QWidget* parent)
    : QDialog(parent), mHorizontalField(new QLineEdit(QString::number(horizontal))),
      mVerticalField(new QLineEdit(QString::number(vertical))), mHorizontal(horizontal),
      mVertical(vertical) {
    setWindowTitle(QStringLiteral("Free Format"));
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Horizontal :"), mHorizontalField);
    layout->addRow(QStringLiteral("Vertical :"), mVerticalField);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addRow(buttons);
    setMinimumWidth(widthForTitle(*this));
}

bool CFreeFormatDialog::validate(QLineEdit* field, int& value) {
    bool isInteger = false;
    const int typed = field->text().trimmed().toInt(&isInteger);
    QString problem;
    if (!isInteger)
        problem = QStringLiteral("Please enter an integer.");
    else if (typed < kMinimum || typed > kMaximum)
        problem = QStringLiteral("Please enter an integer between %1 and %2.")
                      .arg(kMinimum)
                      .arg(kMaximum);
    if (!problem.isEmpty()) {
        CUserDialogs::instance().tell(this, problem, QMessageBox::Warning);
        field->setFocus();
        field->selectAll();
        return false;
    }
    value = typed;
    return true;
}

void CFreeFormatDialog::accept() {
    int horizontal = 0;
    int vertical = 0;
    if (!validate(mHorizontalField, horizontal) || !validate(mVerticalField, vertical))
        return;
    mHorizontal = horizontal;
    mVertical = vertical;
    QDialog::accept();
}
