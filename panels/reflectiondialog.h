#pragma once

#include "engine/textureparams.h"

#include <QDialog>

class CColorEditor;

// "Reflection Parameters": the reflection colour and brilliance editors. Every edit goes into
// the record at once and is announced, so that the views can follow it live.
class CReflectionDialog : public QDialog {
    Q_OBJECT

public:
    explicit CReflectionDialog(quorvel::TextureParams& record, QWidget* parent = nullptr);

    CColorEditor* colourEditor() const noexcept { return mColourEditor; }
    CColorEditor* brillianceEditor() const noexcept { return mBrillianceEditor; }

signals:
    // The record was written: a drag on a slider or the picker, or a chosen colour.
    void edited();

private:
    CColorEditor* mColourEditor;
    CColorEditor* mBrillianceEditor;
};
