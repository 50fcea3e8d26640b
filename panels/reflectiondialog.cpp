#include "panels/reflectiondialog.h"

#include "panels/coloreditor.h"
#include "panels/twopanedialog.h"

CReflectionDialog::CReflectionDialog(quorvel::TextureParams& record, QWidget* parent)
    : QDialog(parent),
      mColourEditor(new CColorEditor(CColorEditor::Mode::ReflectionColour, record)),
      mBrillianceEditor(new CColorEditor(CColorEditor::Mode::Brilliance, record)) {
    setWindowTitle(QStringLiteral("Reflection Parameters"));
    layOutTwoPanes(*this, QStringLiteral("Color :"), mColourEditor, QStringLiteral("Brilliance :"),
                   mBrillianceEditor);
    for (CColorEditor* editor : {mColourEditor, mBrillianceEditor})
        connect(editor, &CColorEditor::changed, this, &CReflectionDialog::edited);
}
