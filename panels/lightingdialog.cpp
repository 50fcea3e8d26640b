#include "panels/lightingdialog.h"

#include "panels/coloreditor.h"
#include "panels/lightdirectionpicker.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

CLightingDialog::CLightingDialog(quorvel::TextureParams& record,
                                 std::span<const uint8_t> sphereTable, QWidget* parent)
    : QDialog(parent), mPicker(new CLightDirectionPicker(record, sphereTable)),
      mColourEditor(new CColorEditor(CColorEditor::Mode::LightColour, record)) {
    // The trailing blanks are part of the title.
    setWindowTitle(QStringLiteral("Lighting Properties  "));
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Direction :")), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Color :")), 0, 1);
    layout->addWidget(mPicker, 1, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(mColourEditor, 1, 1, Qt::AlignLeft | Qt::AlignTop);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons, 2, 0, 1, 2, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The sphere shows the light colour, so it is lit again once a colour drag ends.
    connect(mColourEditor, &CColorEditor::released, mPicker, &CLightDirectionPicker::refresh);
}
