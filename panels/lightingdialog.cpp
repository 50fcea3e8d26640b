#include "panels/lightingdialog.h"

#include "panels/coloreditor.h"
#include "panels/lightdirectionpicker.h"
#include "panels/twopanedialog.h"

CLightingDialog::CLightingDialog(quorvel::TextureParams& record,
                                 std::span<const uint8_t> sphereTable, QWidget* parent)
    : QDialog(parent), mPicker(new CLightDirectionPicker(record, sphereTable)),
      mColourEditor(new CColorEditor(CColorEditor::Mode::LightColour, record)) {
    // The trailing blanks are part of the title.
    setWindowTitle(QStringLiteral("Lighting Properties  "));
    layOutTwoPanes(*this, QStringLiteral("Direction :"), mPicker, QStringLiteral("Color :"),
                   mColourEditor);

    // The sphere shows the light colour, so it is lit again once a colour drag ends.
    connect(mColourEditor, &CColorEditor::released, mPicker, &CLightDirectionPicker::refresh);
    connect(mColourEditor, &CColorEditor::changed, this, &CLightingDialog::edited);
    connect(mPicker, &CLightDirectionPicker::changed, this, &CLightingDialog::edited);
}
