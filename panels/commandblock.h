#pragma once

#include "engine/textureparams.h"

#include <QWidget>

class QComboBox;
class QProgressBar;
class QSpinBox;

// The command block panel: the texture's material, detail, turbulence, scales, relief and
// relief intensity as fields, and the progress bar the view's renders drive.
class CCommandBlock : public QWidget {
    Q_OBJECT

public:
    explicit CCommandBlock(QWidget* parent = nullptr);

    // The integer field values of a record: turbulence x 100, detail as it is, scales, relief
    // scales and relief intensity x 10, each product truncated toward zero.
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
        bool operator==(const Fields&) const = default;
    };
    static Fields fieldsOf(const quorvel::TextureParams& record);

    // Fills the fields and selects the material and relief from `record`.
    void showRecord(const quorvel::TextureParams& record);
    Fields fields() const;

    QProgressBar* progressBar() const noexcept { return mProgress; }
    // Renders report 0 to 1000.
    void setProgress(int permille);

private:
    QSpinBox* addField(const QString& label);

    QComboBox* mMaterial;
    QSpinBox* mDetail;
    QSpinBox* mTurbulence;
    QSpinBox* mScaleX;
    QSpinBox* mScaleY;
    QComboBox* mRelief;
    QSpinBox* mIntensity;
    QSpinBox* mReliefScaleX;
    QSpinBox* mReliefScaleY;
    QProgressBar* mProgress;
};
