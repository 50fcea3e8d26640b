#pragma once

#include "engine/textureparams.h"

#include <QDialog>

#include <cstdint>
#include <span>

class CColorEditor;
class CLightDirectionPicker;

// "Lighting Properties": the light direction picker and the light colour editor. Every edit goes
// into the record at once and is announced, so that the views can follow it live.
class CLightingDialog : public QDialog {
    Q_OBJECT

public:
    CLightingDialog(quorvel::TextureParams& record, std::span<const uint8_t> sphereTable,
                    QWidget* parent = nullptr);

    CLightDirectionPicker* picker() const noexcept { return mPicker; }
    CColorEditor* colourEditor() const noexcept { return mColourEditor; }

signals:
    // The record was written: a drag on a slider or the picker, or a chosen colour.
    void edited();

private:
    CLightDirectionPicker* mPicker;
    CColorEditor* mColourEditor;
};
