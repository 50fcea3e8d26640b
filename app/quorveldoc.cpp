#include "app/quorveldoc.h"

#include <QFileInfo>

using quorvel::TextureParams;

namespace {
constexpr int kNewWidth = 160;
constexpr int kNewHeight = 120;
}  // namespace

CQuorvelDoc::CQuorvelDoc(const QString& title, QObject* parent)
    : QObject(parent), mDefaults(quorvel::makeDefaultsTable()),
      mCurrent(quorvel::copyTexture(mDefaults[static_cast<int>(quorvel::MaterialType::Marble)])),
      mTitle(title) {
    // The defaults entry carries its own size; a new document always starts at 160 x 120.
    mCurrent.imageWidth = kNewWidth;
    mCurrent.imageHeight = kNewHeight;
}

void CQuorvelDoc::setImageSize(int width, int height) {
    mWidth = width;
    mHeight = height;
    mCurrent.imageWidth = static_cast<int16_t>(width);
    mCurrent.imageHeight = static_cast<int16_t>(height);
    emit sizeChanged();
}

void CQuorvelDoc::setViewSize(int width, int height) {
    mWidth = width;
    mHeight = height;
    emit sizeChanged();
}

void CQuorvelDoc::loadRecord(const TextureParams& record) {
    const float spareB = mCurrent.spareB;
    const float spareC = mCurrent.spareC;
    mCurrent = record;
    mCurrent.spareB = spareB;
    mCurrent.spareC = spareC;
    setImageSize(record.imageWidth, record.imageHeight);
    emit textureChanged();
}

void CQuorvelDoc::setPathName(const QString& path) {
    mPathName = path;
    mTitle = QFileInfo(path).fileName();
    emit titleChanged();
}

void CQuorvelDoc::setModified(bool modified) {
    if (mModified == modified)
        return;
    mModified = modified;
    emit modifiedChanged(modified);
}

void CQuorvelDoc::updateAllViews() { emit textureChanged(); }
