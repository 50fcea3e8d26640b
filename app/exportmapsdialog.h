#pragma once

#include "engine/maps.h"
#include "files/exportformat.h"

#include <QDialog>
#include <QSize>
#include <QString>

#include <vector>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSettings;

// What Export Maps writes: the maps of `kinds` under `base` (a path without extension).
struct MapExportChoice {
    QString base;
    quorvel::ExportFormat format = quorvel::ExportFormat::Png;
    std::vector<quorvel::MapKind> kinds;
    quorvel::MapSettings settings;
};

// "Export Maps": a base name, an image format, the maps wanted (colour, normal, height) and how
// normal maps are made. It lists the files OK will write; OK stays greyed without a base name
// or without a map.
class CExportMapsDialog : public QDialog {
    Q_OBJECT

public:
    // `base` is the proposed path without extension; `size` the image size the maps get.
    CExportMapsDialog(const QString& base, QSize size, QWidget* parent = nullptr);

    // The base as an absolute path, an extension of the chosen format typed after it dropped.
    MapExportChoice choice() const;
    // The files the choice writes, in the order of the kinds.
    static QStringList targets(const MapExportChoice& choice);

    // The format, maps and normal settings chosen last time (not the name: that follows the
    // texture); missing or unreadable keys keep the defaults.
    void restoreChoices(const QSettings& settings);
    void keepChoices(QSettings& settings) const;

    QLineEdit* baseEdit() const noexcept { return mBase; }
    QPushButton* browseButton() const noexcept { return mBrowse; }
    QComboBox* formatList() const noexcept { return mFormat; }
    QCheckBox* mapBox(quorvel::MapKind kind) const;
    QRadioButton* yDownButton() const noexcept { return mYDown; }
    QCheckBox* fromColourBox() const noexcept { return mFromColour; }
    QDoubleSpinBox* strengthBox() const noexcept { return mStrength; }
    QLabel* filesLabel() const noexcept { return mFiles; }
    QAbstractButton* okButton() const;

private:
    QGroupBox* createMapsGroup();
    QGroupBox* createNormalGroup();
    void browse();
    // The list of files, the OK button and the normal settings follow every change.
    void followChoices();

    QLineEdit* mBase;
    QPushButton* mBrowse;
    QComboBox* mFormat;
    QCheckBox* mColour = nullptr;
    QCheckBox* mNormal = nullptr;
    QCheckBox* mHeight = nullptr;
    QGroupBox* mNormalGroup = nullptr;
    QRadioButton* mYUp = nullptr;
    QRadioButton* mYDown = nullptr;
    QCheckBox* mFromColour = nullptr;
    QDoubleSpinBox* mStrength = nullptr;
    QLabel* mFiles;
    QDialogButtonBox* mButtons;
};
