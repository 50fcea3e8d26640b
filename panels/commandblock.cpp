#include "panels/commandblock.h"

#include "document/quorveldoc.h"
#include "engine/seamless.h"
#include "document/userdialogs.h"
#include "panels/integerfield.h"
#include "panels/lightingdialog.h"
#include "panels/panelhost.h"
#include "panels/promptbutton.h"
#include "panels/reflectiondialog.h"
#include "panels/seamlessbox.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int kReliefListItems = 8;  // the five reliefs and three empty items

// The single-precision factors between fields and record; the products are formed in double
// precision.
constexpr double kPercent = 0.01f;
constexpr double kTenth = 0.1f;

struct FieldRange {
    int acceptedMin;
    int acceptedMax;
    int spinMin;
    int spinMax;

    bool accepts(std::optional<int> value) const {
        return value && *value >= acceptedMin && *value <= acceptedMax;
    }
};

// In the order of CCommandBlock::Field.
constexpr FieldRange kRanges[] = {
    {1, 256, 0, 100},    // detail
    {0, 100, 0, 100},    // turbulence
    {1, 1000, 0, 1000},  // scale X
    {1, 1000, 0, 1000},  // relief scale X
    {1, 1000, 0, 1000},  // scale Y
    {1, 1000, 0, 1000},  // relief scale Y
    {0, 100, 0, 100},    // relief intensity
};

const FieldRange& rangeOf(CCommandBlock::Field which) {
    return kRanges[static_cast<size_t>(which)];
}

float fieldToRecord(int value, double factor) {
    return static_cast<float>(static_cast<double>(value) * factor);
}

// The record's value behind a field, before it is rounded for showing.
double exactValue(CCommandBlock::Field which, const quorvel::TextureParams& record) {
    using Field = CCommandBlock::Field;
    const auto times = [](float value, double scale) { return static_cast<double>(value) * scale; };
    switch (which) {
    case Field::Detail: return record.octaves;
    case Field::Turbulence: return times(record.turbulence, 100.0);
    case Field::ScaleX: return times(record.scale.x, 10.0);
    case Field::ReliefScaleX: return times(record.reliefScale.x, 10.0);
    case Field::ScaleY: return times(record.scale.y, 10.0);
    case Field::ReliefScaleY: return times(record.reliefScale.y, 10.0);
    case Field::Intensity: return times(record.reliefIntensity, 10.0);
    }
    return 0.0;
}

// What a field shows: the nearest whole number, so that a typed value comes back as typed (the
// single-precision factors store a typed 60 a hair below 0.6). A value outside the accepted
// range, which a file may hold, shows the nearest accepted number; NaN shows the smallest.
int shownValue(CCommandBlock::Field which, double exact) {
    const FieldRange& range = rangeOf(which);
    const double nearest = std::round(exact);
    if (nearest >= range.acceptedMin && nearest <= range.acceptedMax)
        return static_cast<int>(nearest);
    return nearest > range.acceptedMax ? range.acceptedMax : range.acceptedMin;
}

int shownValue(CCommandBlock::Field which, const quorvel::TextureParams& record) {
    return shownValue(which, exactValue(which, record));
}

QComboBox* makeList(int items, std::string_view (*name)(int) noexcept) {
    auto* list = new QComboBox;
    for (int i = 0; i < items; ++i) {
        const std::string_view text = name(i);
        list->addItem(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        // An unnamed entry keeps its index (a file may select it) but is neither shown nor
        // reached by the arrow keys.
        if (text.empty()) {
            static_cast<QListView*>(list->view())->setRowHidden(i, true);
            static_cast<QStandardItemModel*>(list->model())->item(i)->setEnabled(false);
        }
    }
    // Nothing is selected until a document is shown.
    list->setCurrentIndex(-1);
    list->setFocusPolicy(Qt::StrongFocus);
    return list;
}

QString text(const char* s) { return QString::fromUtf8(s); }

}  // namespace

CCommandBlock::CCommandBlock(CPanelHost& host, QWidget* parent) : QWidget(parent), mHost(host) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(createMaterialGroup());
    layout->addWidget(createReliefGroup());
    // Between the relief and the buttons: it rounds both groups' scales, and Tab reaches it
    // after the relief fields.
    mSeamless = new CSeamlessBox;
    layout->addWidget(mSeamless);
    connect(mSeamless, &CSeamlessBox::toggledByUser, this, &CCommandBlock::switchSeamless);

    mReflection =
        createButton(text("Reflection"), text("Set Reflection, Color and Brilliance Parameters."));
    mLighting =
        createButton(text("Lighting"), text("Set Lighting, Color and Direction Parameters."));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(mReflection);
    buttons->addWidget(mLighting);
    layout->addLayout(buttons);

    mProgress = new QProgressBar;
    mProgress->setRange(0, 1000);
    mProgress->setValue(0);
    mProgress->setTextVisible(false);
    layout->addWidget(mProgress);

    mPreview = createButton(text("Preview"), text("Preview the Current Texture."));
    layout->addWidget(mPreview);
    layout->addStretch();

    connect(mReflection, &QPushButton::clicked, this, &CCommandBlock::openReflection);
    connect(mLighting, &QPushButton::clicked, this, &CCommandBlock::openLighting);
    connect(mPreview, &QPushButton::clicked, this, [this] { mHost.redrawActiveView(); });
}

QWidget* CCommandBlock::createMaterialGroup() {
    auto* group = new QGroupBox(text("Material"));
    auto* grid = new QGridLayout(group);
    mMaterial = makeList(quorvel::kMaterialCount, quorvel::materialName);
    mMaterial->setAccessibleName(text("Material type"));
    mMaterial->installEventFilter(this);
    grid->addWidget(new QLabel(text("Type :")), 0, 0);
    grid->addWidget(mMaterial, 0, 1);
    grid->addWidget(new QLabel(text("Detail :")), 1, 0);
    grid->addWidget(createField(Field::Detail, text("Detail")), 1, 1);
    grid->addWidget(new QLabel(text("Turbulence :")), 2, 0);
    grid->addWidget(createField(Field::Turbulence, text("Turbulence")), 2, 1);

    auto* scale = new QGroupBox(text("Scale"));
    auto* row = new QHBoxLayout(scale);
    row->addWidget(new QLabel(text("X :")));
    row->addWidget(createField(Field::ScaleX, text("Scale X")));
    row->addWidget(new QLabel(text("Y :")));
    row->addWidget(createField(Field::ScaleY, text("Scale Y")));
    grid->addWidget(scale, 3, 0, 1, 2);

    connect(mMaterial, &QComboBox::activated, this, &CCommandBlock::switchMaterial);
    return group;
}

QWidget* CCommandBlock::createReliefGroup() {
    auto* group = new QGroupBox(text("Relief"));
    auto* grid = new QGridLayout(group);
    mRelief = makeList(kReliefListItems, quorvel::reliefName);
    mRelief->setAccessibleName(text("Relief type"));
    mRelief->installEventFilter(this);
    grid->addWidget(new QLabel(text("Type :")), 0, 0);
    grid->addWidget(mRelief, 0, 1);
    grid->addWidget(new QLabel(text("Intensity :")), 1, 0);
    grid->addWidget(createField(Field::Intensity, text("Relief intensity")), 1, 1);

    auto* scale = new QGroupBox(text("Scale"));
    auto* row = new QHBoxLayout(scale);
    row->addWidget(new QLabel(text("X :")));
    row->addWidget(createField(Field::ReliefScaleX, text("Relief scale X")));
    row->addWidget(new QLabel(text("Y :")));
    row->addWidget(createField(Field::ReliefScaleY, text("Relief scale Y")));
    grid->addWidget(scale, 2, 0, 1, 2);

    connect(mRelief, &QComboBox::activated, this, &CCommandBlock::switchRelief);
    return group;
}

CIntegerField* CCommandBlock::createField(Field which, const QString& name) {
    auto* field = new CIntegerField;
    field->setAccessibleName(name);
    field->setSpinRange(rangeOf(which).spinMin, rangeOf(which).spinMax);
    field->showNumber(which == Field::Detail ? 3 : 0);
    connect(field, &CIntegerField::focusLost, this,
            [this, which](Qt::FocusReason reason) { commitField(which, reason); });
    connect(field, &CIntegerField::enterPressed, this,
            [this, which] { commitField(which, Qt::OtherFocusReason); });
    mFields[static_cast<size_t>(which)] = field;
    return field;
}

CPromptButton* CCommandBlock::createButton(const QString& caption, const QString& prompt) {
    auto* button = new CPromptButton(caption);
    button->setPrompt(prompt);
    connect(button, &CPromptButton::prompted, this,
            [this](const QString& message) { mHost.showPrompt(message); });
    return button;
}

CCommandBlock::Fields CCommandBlock::fieldsOf(const quorvel::TextureParams& record) {
    Fields fields;
    fields.turbulence = shownValue(Field::Turbulence, record);
    fields.detail = shownValue(Field::Detail, record);
    fields.scaleX = shownValue(Field::ScaleX, record);
    fields.scaleY = shownValue(Field::ScaleY, record);
    fields.reliefScaleX = shownValue(Field::ReliefScaleX, record);
    fields.reliefScaleY = shownValue(Field::ReliefScaleY, record);
    fields.intensity = shownValue(Field::Intensity, record);
    fields.material = record.material;
    fields.relief = record.relief;
    fields.seamless = quorvel::isSeamless(record);
    return fields;
}

void CCommandBlock::showRecord(const quorvel::TextureParams& record) {
    QStringList outside;
    for (int i = 0; i < kFieldCount; ++i) {
        const auto which = static_cast<Field>(i);
        const double exact = exactValue(which, record);
        const int shown = shownValue(which, exact);
        field(which)->showNumber(shown);
        if (!(std::round(exact) == shown))
            outside.append(text("%1 %2 (shown as %3)")
                               .arg(field(which)->accessibleName())
                               .arg(exact, 0, 'g', 6)
                               .arg(shown));
    }
    // The record keeps such a value until the field is edited; the user should know.
    if (!outside.isEmpty())
        mHost.showPrompt(text("Outside the fields' ranges, kept until edited: ") +
                         outside.join(text(", ")));
    // A value outside the list selects nothing.
    const auto inList = [](int value, const QComboBox* list) {
        return value >= 0 && value < list->count() ? value : -1;
    };
    mMaterial->setCurrentIndex(inList(record.material, mMaterial));
    mRelief->setCurrentIndex(inList(record.relief, mRelief));
    mSeamless->showRecord(record);
}

CCommandBlock::Fields CCommandBlock::fields() const {
    const auto value = [this](Field which) { return field(which)->number().value_or(0); };
    Fields values;
    values.turbulence = value(Field::Turbulence);
    values.detail = value(Field::Detail);
    values.scaleX = value(Field::ScaleX);
    values.scaleY = value(Field::ScaleY);
    values.reliefScaleX = value(Field::ReliefScaleX);
    values.reliefScaleY = value(Field::ReliefScaleY);
    values.intensity = value(Field::Intensity);
    values.material = mMaterial->currentIndex();
    values.relief = mRelief->currentIndex();
    values.seamless = mSeamless->isChecked();
    return values;
}

bool CCommandBlock::readBack() {
    for (int i = 0; i < kFieldCount; ++i) {
        const auto which = static_cast<Field>(i);
        const FieldRange& range = rangeOf(which);
        const std::optional<int> value = field(which)->number();
        QString problem;
        if (!value)
            problem = text("Please enter an integer.");
        else if (!range.accepts(value))
            problem = text("Please enter an integer between %1 and %2.")
                          .arg(range.acceptedMin)
                          .arg(range.acceptedMax);
        if (problem.isEmpty())
            continue;
        // The message box and the return to the field move the focus; those moves must not
        // validate again.
        mValidating = true;
        CUserDialogs::instance().tell(this, problem, QMessageBox::Warning);
        field(which)->setFocus(Qt::OtherFocusReason);
        field(which)->selectAll();
        mValidating = false;
        return false;
    }
    return true;
}

bool CCommandBlock::allFieldsValid() const {
    for (int i = 0; i < kFieldCount; ++i) {
        const auto which = static_cast<Field>(i);
        if (!rangeOf(which).accepts(field(which)->number()))
            return false;
    }
    return true;
}

void CCommandBlock::commitPendingEdits() {
    if (!mShown || !allFieldsValid())
        return;
    for (int i = 0; i < kFieldCount; ++i) {
        const auto which = static_cast<Field>(i);
        if (field(which)->isEdited())
            storeField(which, *mShown);
    }
}

void CCommandBlock::showDocument(CQuorvelDoc* document) {
    if (mShown != document) {
        commitPendingEdits();
        if (mShown)
            disconnect(mShown, nullptr, this, nullptr);
        // Undo, redo and every other edit of the record show here at once.
        if (document)
            connect(document, &CQuorvelDoc::textureChanged, this, &CCommandBlock::followRecord);
    }
    mShown = document;
    if (document)
        showRecord(document->record());
}

void CCommandBlock::followRecord() {
    if (!mShown)
        return;
    const quorvel::TextureParams& record = mShown->record();
    // A number being typed stays as typed until it is committed.
    for (int i = 0; i < kFieldCount; ++i) {
        const auto which = static_cast<Field>(i);
        if (!field(which)->isEdited())
            field(which)->showNumber(shownValue(which, record));
    }
    const auto inList = [](int value, const QComboBox* list) {
        return value >= 0 && value < list->count() ? value : -1;
    };
    mMaterial->setCurrentIndex(inList(record.material, mMaterial));
    mRelief->setCurrentIndex(inList(record.relief, mRelief));
    mSeamless->showRecord(record);
}

bool CCommandBlock::eventFilter(QObject* watched, QEvent* event) {
    // A wheel turned over a list the user is not working in would switch the material.
    if (event->type() == QEvent::Wheel && (watched == mMaterial || watched == mRelief) &&
        !static_cast<QWidget*>(watched)->hasFocus()) {
        event->ignore();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CCommandBlock::commitField(Field which, Qt::FocusReason reason) {
    CQuorvelDoc* document = mHost.activeDocument();
    if (mValidating || !document)
        return;
    CIntegerField* edited = field(which);
    // Opening a menu or leaving the window is no time for a message: a valid value is kept
    // quietly, an invalid one waits for the next focus change within the panel.
    const bool quiet = reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason;
    if (quiet) {
        if (!allFieldsValid())
            return;
    } else if (!readBack()) {
        return;
    }
    // Leaving a field the user did not change stores nothing: storing the truncated display
    // would move the record down a step (0.1 shows as 9, which would store 0.09).
    if (edited->isEdited())
        storeField(which, *document);
}

void CCommandBlock::storeField(Field which, CQuorvelDoc& document) {
    const int value = *field(which)->number();
    field(which)->markCommitted();
    using Parameter = CQuorvelDoc::Parameter;
    switch (which) {
    case Field::Detail: document.setParameter(Parameter::Detail, static_cast<float>(value)); break;
    case Field::Turbulence:
        document.setParameter(Parameter::Turbulence, fieldToRecord(value, kPercent));
        break;
    case Field::ScaleX: document.setParameter(Parameter::ScaleX, fieldToRecord(value, kTenth)); break;
    case Field::ScaleY: document.setParameter(Parameter::ScaleY, fieldToRecord(value, kTenth)); break;
    case Field::ReliefScaleX:
        document.setParameter(Parameter::ReliefScaleX, fieldToRecord(value, kTenth));
        break;
    case Field::ReliefScaleY:
        document.setParameter(Parameter::ReliefScaleY, fieldToRecord(value, kTenth));
        break;
    case Field::Intensity:
        document.setParameter(Parameter::Intensity, fieldToRecord(value, kTenth));
        break;
    }
}

void CCommandBlock::switchMaterial(int material) {
    CQuorvelDoc* document = mHost.activeDocument();
    if (!document)
        return;
    if (!readBack() || material < 0 || material >= quorvel::kMaterialCount) {
        mMaterial->setCurrentIndex(document->record().material);
        return;
    }
    // The presets come from the document's own table; picking the material already selected
    // changes nothing, so a hand-made palette is never lost to a second click.
    document->setMaterial(material);
}

void CCommandBlock::switchSeamless(bool on) {
    CQuorvelDoc* document = mHost.activeDocument();
    if (!document)
        return;
    if (!readBack()) {
        mSeamless->showRecord(document->record());
        return;
    }
    document->setSeamless(on);
}

void CCommandBlock::switchRelief(int relief) {
    CQuorvelDoc* document = mHost.activeDocument();
    if (!document)
        return;
    if (!readBack() || relief < 0 || relief >= kReliefListItems) {
        mRelief->setCurrentIndex(document->record().relief);
        return;
    }
    document->setRelief(relief);
}

// The dialogs edit a copy that the views show live; OK makes it one command, Cancel puts back
// what was there.
template <typename Dialog, typename... Extra>
void CCommandBlock::editInDialog(const QString& edit, Extra&&... extra) {
    CQuorvelDoc* document = mHost.activeDocument();
    if (!document)
        return;
    QPointer<CQuorvelDoc> guarded(document);
    quorvel::TextureParams working = document->record();
    Dialog dialog(working, std::forward<Extra>(extra)..., this);
    connect(&dialog, &Dialog::edited, this, [&working, guarded] {
        if (guarded)
            guarded->preview(working);
    });
    const bool accepted = CUserDialogs::instance().runDialog(dialog) == QDialog::Accepted;
    if (!guarded)
        return;
    if (accepted)
        guarded->commitPreview(edit);
    else
        guarded->endPreview();
}

void CCommandBlock::openLighting() {
    editInDialog<CLightingDialog>(text("Lighting"), mHost.sphereTable());
}

void CCommandBlock::openReflection() { editInDialog<CReflectionDialog>(text("Reflection")); }

void CCommandBlock::setProgress(int permille) { mProgress->setValue(permille); }
