#pragma once

#include "engine/textureparams.h"

#include <QDialog>

class CColorEditor;

// "Reflection Parameters": the reflection colour and brilliance editors. Every edit goes into
// the record at once, so OK and Cancel both just close the dialog.
class CReflectionDialog : public QDialog {
    Q_OBJECT

public:
    explicit CReflectionDialog(quorvel::TextureParams& record, QWidget* parent = nullptr);

    CColorEditor* colourEditor() const noexcept { return mColourEditor; }
    CColorEditor* brillianceEditor() const noexcept { return mBrillianceEditor; }

private:
    CColorEditor* mColourEditor;
    CColorEditor* mBrillianceEditor;
};
