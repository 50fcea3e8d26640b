#include "app/imageformatdialog.h"

#include "app/freeformatdialog.h"
#include "document/userdialogs.h"
#include "panels/twopanedialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include <array>

namespace {

struct Preset {
    const char* label;
    QSize size;
};

const std::array<Preset, 9> kPresets{{
    {"Screen/16 (160x120)", {160, 120}},
    {"Screen/4 (320x240)", {320, 240}},
    {"Screen (640x480)", {640, 480}},
    {"Video (740x576)", {740, 576}},
    {"Screen HD (800x600)", {800, 600}},
    {"1K (1024x768)", {1024, 768}},
    {"2K (2048x1536)", {2048, 1536}},
    {"4K (4096x2836)", {4096, 2836}},
    {"Free Format ...", {}},
}};

}  // namespace

CImageFormatDialog::CImageFormatDialog(int selection, QSize recordSize, QWidget* parent)
    : QDialog(parent), mGroup(new QButtonGroup(this)), mRecordSize(recordSize),
      mFreeSize(recordSize) {
    setWindowTitle(QStringLiteral("Image Format  "));
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < static_cast<int>(kPresets.size()); ++i) {
        auto* button = new QRadioButton(label(i));
        mGroup->addButton(button, i);
        layout->addWidget(button);
    }
    setSelection(selection);
    connect(mGroup->button(kFreeFormat), &QAbstractButton::clicked, this,
            &CImageFormatDialog::askFreeSize);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(widthForTitle(*this));
}

int CImageFormatDialog::selection() const { return mGroup->checkedId(); }

void CImageFormatDialog::setSelection(int index) {
    if (QAbstractButton* button = mGroup->button(index)) {
        button->setChecked(true);
        return;
    }
    // No button checked: the group must allow that for a moment.
    mGroup->setExclusive(false);
    for (QAbstractButton* button : mGroup->buttons())
        button->setChecked(false);
    mGroup->setExclusive(true);
}

QSize CImageFormatDialog::presetSize(int index) {
    if (index < 0 || index >= kFreeFormat)
        return {};
    return kPresets[static_cast<size_t>(index)].size;
}

QString CImageFormatDialog::label(int index) {
    if (index < 0 || index >= static_cast<int>(kPresets.size()))
        return {};
    return QString::fromUtf8(kPresets[static_cast<size_t>(index)].label);
}

void CImageFormatDialog::askFreeSize() {
    // Each click starts from the record's size; Cancel leaves the free size at it.
    mFreeSize = mRecordSize;
    CFreeFormatDialog dialog(mRecordSize.width(), mRecordSize.height(), this);
    if (CUserDialogs::instance().runDialog(dialog) == QDialog::Accepted)
        mFreeSize = QSize(dialog.horizontal(), dialog.vertical());
}
