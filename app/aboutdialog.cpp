#include "app/aboutdialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Quorvel"));
    auto* icon = new QLabel;
    icon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(new QLabel(QStringLiteral("Quorvel Version 2.0")), 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("A composer of procedural textures")), 1, 1,
                      Qt::AlignHCenter);
    layout->addWidget(ok, 2, 0);
    layout->addWidget(new QLabel(QString::fromUtf8("Copyright \u00a9 2026 the Quorvel developers")),
                      2, 1, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
