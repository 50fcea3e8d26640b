#include "panels/commandblock.h"

#include "engine/numeric.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QSpinBox>
#include <QVBoxLayout>

#include <limits>

using quorvel::truncToInt;

namespace {

constexpr int kReliefListItems = 8;  // the five reliefs and three empty items

QComboBox* makeList(int items, std::string_view (*name)(int) noexcept) {
    auto* list = new QComboBox;
    for (int i = 0; i < items; ++i) {
        const std::string_view text = name(i);
        list->addItem(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
    return list;
}

}  // namespace

CCommandBlock::CCommandBlock(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    mMaterial = makeList(quorvel::kMaterialCount, quorvel::materialName);
    form->addRow(tr("Material"), mMaterial);
    mDetail = addField(tr("Detail"));
    form->addRow(tr("Detail"), mDetail);
    mTurbulence = addField(tr("Turbulence"));
    form->addRow(tr("Turbulence"), mTurbulence);
    mScaleX = addField(tr("Scale X"));
    form->addRow(tr("Scale X"), mScaleX);
    mScaleY = addField(tr("Scale Y"));
    form->addRow(tr("Scale Y"), mScaleY);
    mRelief = makeList(kReliefListItems, quorvel::reliefName);
    form->addRow(tr("Relief"), mRelief);
    mIntensity = addField(tr("Intensity"));
    form->addRow(tr("Intensity"), mIntensity);
    mReliefScaleX = addField(tr("Relief scale X"));
    form->addRow(tr("Scale X"), mReliefScaleX);
    mReliefScaleY = addField(tr("Relief scale Y"));
    form->addRow(tr("Scale Y"), mReliefScaleY);

    mProgress = new QProgressBar;
    mProgress->setRange(0, 1000);
    mProgress->setValue(0);
    mProgress->setTextVisible(false);
    layout->addWidget(mProgress);
    layout->addStretch();
}

QSpinBox* CCommandBlock::addField(const QString& label) {
    auto* field = new QSpinBox;
    field->setAccessibleName(label);
    field->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    field->setReadOnly(true);
    field->setButtonSymbols(QAbstractSpinBox::NoButtons);
    return field;
}

CCommandBlock::Fields CCommandBlock::fieldsOf(const quorvel::TextureParams& record) {
    Fields fields;
    fields.turbulence = truncToInt(record.turbulence * 100.0f);
    fields.detail = record.octaves;
    fields.scaleX = truncToInt(record.scale.x * 10.0f);
    fields.scaleY = truncToInt(record.scale.y * 10.0f);
    fields.reliefScaleX = truncToInt(record.reliefScale.x * 10.0f);
    fields.reliefScaleY = truncToInt(record.reliefScale.y * 10.0f);
    fields.intensity = truncToInt(record.reliefIntensity * 10.0f);
    fields.material = record.material;
    fields.relief = record.relief;
    return fields;
}

void CCommandBlock::showRecord(const quorvel::TextureParams& record) {
    const Fields values = fieldsOf(record);
    mTurbulence->setValue(values.turbulence);
    mDetail->setValue(values.detail);
    mScaleX->setValue(values.scaleX);
    mScaleY->setValue(values.scaleY);
    mReliefScaleX->setValue(values.reliefScaleX);
    mReliefScaleY->setValue(values.reliefScaleY);
    mIntensity->setValue(values.intensity);
    // An out-of-list value selects nothing.
    mMaterial->setCurrentIndex(values.material < mMaterial->count() ? values.material : -1);
    mRelief->setCurrentIndex(values.relief < mRelief->count() ? values.relief : -1);
}

CCommandBlock::Fields CCommandBlock::fields() const {
    Fields values;
    values.turbulence = mTurbulence->value();
    values.detail = mDetail->value();
    values.scaleX = mScaleX->value();
    values.scaleY = mScaleY->value();
    values.reliefScaleX = mReliefScaleX->value();
    values.reliefScaleY = mReliefScaleY->value();
    values.intensity = mIntensity->value();
    values.material = mMaterial->currentIndex();
    values.relief = mRelief->currentIndex();
    return values;
}

void CCommandBlock::setProgress(int permille) { mProgress->setValue(permille); }
