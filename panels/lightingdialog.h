#pragma once

#include "engine/textureparams.h"

#include <QDialog>

#include <cstdint>
#include <span>

class CColorEditor;
class CLightDirectionPicker;

// "Lighting Properties": the light direction picker and the light colour editor. Every edit goes
// into the record at once, so OK and Cancel both just close the dialog.
class CLightingDialog : public QDialog {
    Q_OBJECT

public:
    CLightingDialog(quorvel::TextureParams& record, std::span<const uint8_t> sphereTable,
                    QWidget* parent = nullptr);

    CLightDirectionPicker* picker() const noexcept { return mPicker; }
    CColorEditor* colourEditor() const noexcept { return mColourEditor; }

private:
    CLightDirectionPicker* mPicker;
    CColorEditor* mColourEditor;
};
