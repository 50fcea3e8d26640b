#pragma once

#include "engine/textureparams.h"

#include <QPointer>
#include <QWidget>

#include <array>

class CIntegerField;
class CPanelHost;
class CQuorvelDoc;
class CPromptButton;
class CSeamlessBox;
class QComboBox;
class QProgressBar;

// The command block panel: the active texture's material, detail, turbulence and scales, its
// relief, intensity and relief scales, the Reflection, Lighting and Preview buttons and the
// progress bar the view's renders drive. Every edit is one of the active document's named edits.
class CCommandBlock : public QWidget {
    Q_OBJECT

public:
    explicit CCommandBlock(CPanelHost& host, QWidget* parent = nullptr);

    // The seven integer fields in the order they are validated and exchanged.
    enum class Field { Detail, Turbulence, ScaleX, ReliefScaleX, ScaleY, ReliefScaleY, Intensity };
    static constexpr int kFieldCount = 7;

    // The integer field values of a record: turbulence x 100, detail as it is, scales, relief
    // scales and relief intensity x 10, each product formed in double precision and truncated
    // toward zero.
    struct Fields {
        int turbulence = 0;
        int detail = 0;
        int scaleX = 0;
        int scaleY = 0;
        int reliefScaleX = 0;
        int reliefScaleY = 0;
        int intensity = 0;
        int material = 0;
        int relief = 0;
        bool seamless = false;
        bool operator==(const Fields&) const = default;
    };
    static Fields fieldsOf(const quorvel::TextureParams& record);

    // Fills the fields and selects the material and relief from `record`.
    void showRecord(const quorvel::TextureParams& record);
    // Shows the record of `document`, which has become the active one. Values typed for the
    // document shown before and not yet committed go into that document first, when all the
    // fields are valid.
    void showDocument(CQuorvelDoc* document);
    // Quietly stores the values typed but not yet committed into the document they were typed
    // for, when every field is valid: a command (Save, a shortcut) then sees them.
    void commitPendingEdits();
    // What the fields show; a field that holds no integer reads as 0.
    Fields fields() const;

    // Checks every field against its accepted range, in the order of exchange. At the first
    // that fails it says why, gives that field the focus and returns false.
    bool readBack();
    // The same check without a word to the user.
    bool allFieldsValid() const;

    CIntegerField* field(Field which) const { return mFields[static_cast<size_t>(which)]; }
    QComboBox* materialList() const noexcept { return mMaterial; }
    QComboBox* reliefList() const noexcept { return mRelief; }
    CPromptButton* reflectionButton() const noexcept { return mReflection; }
    CPromptButton* lightingButton() const noexcept { return mLighting; }
    CPromptButton* previewButton() const noexcept { return mPreview; }
    CSeamlessBox* seamlessBox() const noexcept { return mSeamless; }
    QProgressBar* progressBar() const noexcept { return mProgress; }
    // Renders report 0 to 1000.
    void setProgress(int permille);

private:
    QWidget* createMaterialGroup();
    QWidget* createReliefGroup();
    CIntegerField* createField(Field which, const QString& name);
    CPromptButton* createButton(const QString& text, const QString& prompt);
    void commitField(Field which, Qt::FocusReason reason);
    // Stores the field's number in `document` as one edit.
    void storeField(Field which, CQuorvelDoc& document);
    // Shows the record after any change: fields not being typed in and both lists.
    void followRecord();
    template <typename Dialog, typename... Extra>
    void editInDialog(const QString& edit, Extra&&... extra);
    void switchMaterial(int material);
    void switchRelief(int relief);
    void switchSeamless(bool on);
    void openLighting();
    void openReflection();
    bool eventFilter(QObject* watched, QEvent* event) override;

    CPanelHost& mHost;
    std::array<CIntegerField*, kFieldCount> mFields{};
    QComboBox* mMaterial = nullptr;
    QComboBox* mRelief = nullptr;
    CSeamlessBox* mSeamless = nullptr;
    CPromptButton* mReflection = nullptr;
    CPromptButton* mLighting = nullptr;
    CPromptButton* mPreview = nullptr;
    QProgressBar* mProgress = nullptr;
    bool mValidating = false;
    QPointer<CQuorvelDoc> mShown;
};
