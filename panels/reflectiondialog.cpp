#include "panels/reflectiondialog.h"

#include "panels/coloreditor.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

CReflectionDialog::CReflectionDialog(quorvel::TextureParams& record, QWidget* parent)
    : QDialog(parent),
      mColourEditor(new CColorEditor(CColorEditor::Mode::ReflectionColour, record)),
      mBrillianceEditor(new CColorEditor(CColorEditor::Mode::Brilliance, record)) {
    setWindowTitle(QStringLiteral("Reflection Parameters"));
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Color :")), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Brilliance :")), 0, 1);
    layout->addWidget(mColourEditor, 1, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(mBrillianceEditor, 1, 1, Qt::AlignLeft | Qt::AlignTop);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons, 2, 0, 1, 2, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
