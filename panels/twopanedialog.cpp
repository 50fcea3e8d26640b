#include "panels/twopanedialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>

void layOutTwoPanes(QDialog& dialog, const QString& leftLabel, QWidget* left,
                    const QString& rightLabel, QWidget* right) {
    auto* layout = new QGridLayout(&dialog);
    layout->addWidget(new QLabel(leftLabel), 0, 0);
    layout->addWidget(new QLabel(rightLabel), 0, 1);
    layout->addWidget(left, 1, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(right, 1, 1, Qt::AlignLeft | Qt::AlignTop);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons, 2, 0, 1, 2, Qt::AlignHCenter);
    layout->addItem(new QSpacerItem(widthForTitle(dialog), 0), 3, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int widthForTitle(const QWidget& dialog) {
    constexpr int kDecoration = 130;  // icon, close, maximise and minimise buttons, borders
    QFont font = dialog.font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.2);
    const QString title = dialog.windowTitle().trimmed();
    return QFontMetrics(font).horizontalAdvance(title) + kDecoration;
}
