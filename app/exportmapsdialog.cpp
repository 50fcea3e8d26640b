#include "app/exportmapsdialog.h"

#include "document/userdialogs.h"
#include "files/mapexport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QVBoxLayout>

using quorvel::ExportFormat;
using quorvel::MapKind;

namespace {

struct FormatEntry {
    const char* label;
    ExportFormat format;
};

// PNG first: lossless, read everywhere, and the one that keeps 16-bit heights.
constexpr FormatEntry kFormats[] = {
    {"PNG (.png)", ExportFormat::Png},     {"JPEG (.jpg)", ExportFormat::Jpeg},
    {"Targa (.tga)", ExportFormat::Targa}, {"Quorvel bitmap (.bmp)", ExportFormat::Bitmap},
    {"PPM (.ppm)", ExportFormat::Ppm},
};

constexpr double kMinStrength = 0.1;
constexpr double kMaxStrength = 20.0;

const QString kFormatKey = QStringLiteral("ExportMaps/Format");
const QString kMapsKey = QStringLiteral("ExportMaps/Maps");
const QString kYDownKey = QStringLiteral("ExportMaps/NormalYDown");
const QString kFromColourKey = QStringLiteral("ExportMaps/NormalFromColour");
const QString kStrengthKey = QStringLiteral("ExportMaps/Strength");

QString extension(ExportFormat format) {
    const std::string_view ext = quorvel::extensionOf(format);
    return QString::fromLatin1(ext.data(), static_cast<qsizetype>(ext.size()));
}

QString kindKey(MapKind kind) {
    const std::string_view name = quorvel::mapName(kind);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

CExportMapsDialog::CExportMapsDialog(const QString& base, QSize size, QWidget* parent)
    : QDialog(parent), mBase(new QLineEdit(base)), mBrowse(new QPushButton(tr("&Browse..."))),
      mFormat(new QComboBox), mFiles(new QLabel),
      mButtons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel)) {
    setWindowTitle(tr("Export Maps"));
    for (const FormatEntry& entry : kFormats)
        mFormat->addItem(QString::fromUtf8(entry.label), static_cast<int>(entry.format));
    mBase->setMinimumWidth(320);

    auto* form = new QFormLayout;
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(mBase, 1);
    nameRow->addWidget(mBrowse);
    // A row holding a layout gets no buddy of its own, so Alt+M would show as a literal '&'.
    auto* nameLabel = new QLabel(tr("Base na&me:"));
    nameLabel->setBuddy(mBase);
    form->addRow(nameLabel, nameRow);
    form->addRow(tr("&Format:"), mFormat);
    form->addRow(tr("Size:"), new QLabel(tr("%1 \u00d7 %2 pixels, the texture's image format")
                                             .arg(size.width())
                                             .arg(size.height())));

    auto* heights = new QLabel(tr("Height maps use the full range of values: each image is "
                                  "normalised to its own lowest and highest point (16 bits per "
                                  "sample in PNG, 8 in the other formats)."));
    heights->setWordWrap(true);
    mFiles->setWordWrap(true);
    mFiles->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(createMapsGroup());
    layout->addWidget(createNormalGroup());
    layout->addWidget(heights);
    layout->addWidget(mFiles);
    layout->addWidget(mButtons);

    connect(mButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(mButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(mBrowse, &QPushButton::clicked, this, &CExportMapsDialog::browse);
    connect(mBase, &QLineEdit::textChanged, this, &CExportMapsDialog::followChoices);
    connect(mFormat, &QComboBox::currentIndexChanged, this, &CExportMapsDialog::followChoices);
    for (QCheckBox* box : {mColour, mNormal, mHeight, mFromColour})
        connect(box, &QCheckBox::toggled, this, &CExportMapsDialog::followChoices);
    followChoices();
}

QGroupBox* CExportMapsDialog::createMapsGroup() {
    auto* group = new QGroupBox(tr("Maps"));
    auto* row = new QHBoxLayout(group);
    mColour = new QCheckBox(tr("Co&lour"));
    mNormal = new QCheckBox(tr("&Normal"));
    mHeight = new QCheckBox(tr("&Height"));
    for (QCheckBox* box : {mColour, mNormal, mHeight}) {
        box->setChecked(true);
        row->addWidget(box);
    }
    // Each box as wide as its text: a click beside the text must not tick it.
    row->addStretch();
    return group;
}

QGroupBox* CExportMapsDialog::createNormalGroup() {
    mNormalGroup = new QGroupBox(tr("Normal map"));
    auto* grid = new QFormLayout(mNormalGroup);
    mYUp = new QRadioButton(tr("Open&GL (+Y up)"));
    mYDown = new QRadioButton(tr("&DirectX (\u2212Y down)"));
    mYUp->setChecked(true);
    auto* convention = new QHBoxLayout;
    convention->addWidget(mYUp);
    convention->addWidget(mYDown);
    convention->addStretch();
    grid->addRow(tr("Convention:"), convention);
    // Without it, a texture without relief gives a flat map.
    mFromColour = new QCheckBox(tr("Normal from colou&r when there is no relief"));
    grid->addRow(mFromColour);
    mStrength = new QDoubleSpinBox;
    mStrength->setRange(kMinStrength, kMaxStrength);
    mStrength->setDecimals(1);
    mStrength->setSingleStep(0.1);
    mStrength->setValue(1.0);
    grid->addRow(tr("&Strength:"), mStrength);
    return mNormalGroup;
}

QCheckBox* CExportMapsDialog::mapBox(MapKind kind) const {
    switch (kind) {
    case MapKind::Colour: return mColour;
    case MapKind::Normal: return mNormal;
    case MapKind::Height: return mHeight;
    }
    return nullptr;
}

QAbstractButton* CExportMapsDialog::okButton() const {
    return mButtons->button(QDialogButtonBox::Ok);
}

MapExportChoice CExportMapsDialog::choice() const {
    MapExportChoice chosen;
    chosen.format = static_cast<ExportFormat>(mFormat->currentData().toInt());
    QString base = mBase->text().trimmed();
    const QString typedExtension = QLatin1Char('.') + extension(chosen.format);
    if (base.endsWith(typedExtension, Qt::CaseInsensitive))
        base.chop(typedExtension.size());
    if (!base.isEmpty())
        chosen.base = QFileInfo(base).absoluteFilePath();
    for (MapKind kind : {MapKind::Colour, MapKind::Normal, MapKind::Height})
        if (mapBox(kind)->isChecked())
            chosen.kinds.push_back(kind);
    chosen.settings.normalYDown = mYDown->isChecked();
    chosen.settings.normalFromColour = mFromColour->isChecked();
    chosen.settings.strength = static_cast<float>(mStrength->value());
    return chosen;
}

QStringList CExportMapsDialog::targets(const MapExportChoice& choice) {
    QStringList files;
    const std::string base = QFile::encodeName(choice.base).toStdString();
    for (MapKind kind : choice.kinds)
        files.append(QFile::decodeName(quorvel::mapPath(base, kind, choice.format).c_str()));
    return files;
}

void CExportMapsDialog::followChoices() {
    const MapExportChoice chosen = choice();
    const bool ready = !chosen.base.isEmpty() && !chosen.kinds.empty();
    okButton()->setEnabled(ready);
    mNormalGroup->setEnabled(mNormal->isChecked());
    mStrength->setEnabled(mFromColour->isChecked());
    if (!ready) {
        mFiles->setText(chosen.kinds.empty() ? tr("Choose at least one map.")
                                             : tr("Give a base name."));
        return;
    }
    QStringList names;
    for (const QString& file : targets(chosen))
        names.append(QFileInfo(file).fileName());
    mFiles->setText(
        tr("Writes %1 in %2")
            .arg(names.join(QStringLiteral(", ")), QFileInfo(chosen.base).absolutePath()));
}

void CExportMapsDialog::browse() {
    const MapExportChoice chosen = choice();
    const QString ext = extension(chosen.format);
    FileDialogRequest request;
    request.title = tr("Export Maps");
    const QFileInfo current(chosen.base);
    request.folder = !chosen.base.isEmpty() && current.absoluteDir().exists()
                         ? current.absolutePath()
                         : CUserDialogs::dialogFolder();
    request.initialName = current.fileName();
    request.filters = {mFormat->currentText().section(QLatin1Char(' '), 0, 0) +
                       QStringLiteral(" Files (*.") + ext + QLatin1Char(')')};
    request.defaultSuffix = ext;
    // The targets are asked about together once OK is pressed.
    request.confirmOverwrite = false;
    QString picked = CUserDialogs::instance().saveFileName(this, request);
    if (picked.isEmpty())
        return;
    // A name given with an image extension chooses that format.
    const std::optional<ExportFormat> format =
        quorvel::exportFormatForPath(QFile::encodeName(picked).toStdString());
    if (format && quorvel::isImageFormat(*format)) {
        const int index = mFormat->findData(static_cast<int>(*format));
        if (index >= 0)
            mFormat->setCurrentIndex(index);
        picked.chop(extension(*format).size() + 1);
    }
    mBase->setText(picked);
}

void CExportMapsDialog::restoreChoices(const QSettings& settings) {
    const std::optional<ExportFormat> format =
        quorvel::exportFormatForExtension(settings.value(kFormatKey).toString().toStdString());
    const int index = format ? mFormat->findData(static_cast<int>(*format)) : -1;
    if (index >= 0)
        mFormat->setCurrentIndex(index);
    if (settings.contains(kMapsKey)) {
        const QStringList maps = settings.value(kMapsKey).toStringList();
        for (MapKind kind : {MapKind::Colour, MapKind::Normal, MapKind::Height})
            mapBox(kind)->setChecked(maps.contains(kindKey(kind)));
    }
    (settings.value(kYDownKey, false).toBool() ? mYDown : mYUp)->setChecked(true);
    mFromColour->setChecked(settings.value(kFromColourKey, false).toBool());
    bool valid = false;
    const double strength = settings.value(kStrengthKey).toDouble(&valid);
    if (valid)
        mStrength->setValue(strength);
    followChoices();
}

void CExportMapsDialog::keepChoices(QSettings& settings) const {
    const MapExportChoice chosen = choice();
    settings.setValue(kFormatKey, extension(chosen.format));
    QStringList maps;
    for (MapKind kind : chosen.kinds)
        maps.append(kindKey(kind));
    settings.setValue(kMapsKey, maps);
    settings.setValue(kYDownKey, chosen.settings.normalYDown);
    settings.setValue(kFromColourKey, chosen.settings.normalFromColour);
    settings.setValue(kStrengthKey, mStrength->value());
}
