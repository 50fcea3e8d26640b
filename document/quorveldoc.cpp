#include "document/quorveldoc.h"

#include "engine/seamless.h"
#include "files/texturedocument.h"

#include <QFileInfo>
#include <QUndoCommand>
#include <QUndoStack>

using quorvel::TextureParams;

namespace {

constexpr int kNewWidth = 160;
constexpr int kNewHeight = 120;

// One edit: the whole state before and after, so that undo gives back every byte, the user's
// palette under a material's presets included.
class RecordEdit : public QUndoCommand {
public:
    RecordEdit(CQuorvelDoc& document, CQuorvelDoc::State before, CQuorvelDoc::State after,
               const QString& name)
        : QUndoCommand(name), mDocument(document), mBefore(std::move(before)),
          mAfter(std::move(after)) {}

    void undo() override { mDocument.restore(mBefore); }
    void redo() override { mDocument.restore(mAfter); }

private:
    CQuorvelDoc& mDocument;
    CQuorvelDoc::State mBefore;
    CQuorvelDoc::State mAfter;
};

QString parameterName(CQuorvelDoc::Parameter which) {
    using Parameter = CQuorvelDoc::Parameter;
    switch (which) {
    case Parameter::Detail: return QStringLiteral("Detail");
    case Parameter::Turbulence: return QStringLiteral("Turbulence");
    case Parameter::ScaleX: return QStringLiteral("Scale X");
    case Parameter::ScaleY: return QStringLiteral("Scale Y");
    case Parameter::ReliefScaleX: return QStringLiteral("Relief Scale X");
    case Parameter::ReliefScaleY: return QStringLiteral("Relief Scale Y");
    case Parameter::Intensity: return QStringLiteral("Relief Intensity");
    }
    return {};
}

// The engine's one write (Brick's mortar width) is made as the document takes a record, so that
// the history, the files and every render see the same bytes.
TextureParams withRenderWrites(TextureParams record) {
    quorvel::applyRenderWrites(record);
    return record;
}

}  // namespace

QByteArray recordBytes(const TextureParams& record) {
    const quorvel::TextureDocumentBytes bytes = quorvel::encodeTextureDocument(record);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

CQuorvelDoc::CQuorvelDoc(const QString& title, QObject* parent)
    : QObject(parent), mDefaults(quorvel::makeDefaultsTable()), mHistory(new QUndoStack(this)),
      mTitle(title) {
    TextureParams fresh =
        quorvel::copyTexture(mDefaults[static_cast<size_t>(quorvel::MaterialType::Marble)]);
    // The defaults entry carries its own size; a new document always starts at 160 x 120.
    fresh.imageWidth = kNewWidth;
    fresh.imageHeight = kNewHeight;
    mState = {withRenderWrites(fresh), QSize(kNewWidth, kNewHeight)};
    connect(mHistory, &QUndoStack::cleanChanged, this, &CQuorvelDoc::noteModified);
}

CQuorvelDoc::~CQuorvelDoc() {
    // The commands refer to this document; they go before it is half destroyed.
    mHistory->clear();
}

void CQuorvelDoc::loadRecord(const TextureParams& record) {
    TextureParams loaded = record;
    loaded.spareB = mState.record.spareB;
    loaded.spareC = mState.record.spareC;
    mPreviewBase.reset();
    mHistory->clear();
    restore({withRenderWrites(loaded), QSize(record.imageWidth, record.imageHeight)});
    mHistory->setClean();
}

void CQuorvelDoc::restore(const State& state) {
    const bool resized = state.view != mState.view;
    const bool changed = resized || recordBytes(state.record) != recordBytes(mState.record);
    mState = state;
    ++mRevision;
    if (resized)
        emit sizeChanged();
    if (changed)
        emit textureChanged();
}

void CQuorvelDoc::edit(const State& after, const QString& name) {
    State taken{withRenderWrites(after.record), after.view};
    if (taken.view == mState.view && recordBytes(taken.record) == recordBytes(mState.record))
        return;
    mHistory->push(new RecordEdit(*this, mState, std::move(taken), name));
}

void CQuorvelDoc::setMaterial(int material) {
    if (material < 0 || material >= quorvel::kMaterialCount || material == mState.record.material)
        return;
    State after = mState;
    quorvel::applyMaterialDefaults(after.record, mDefaults[static_cast<size_t>(material)]);
    after.record.material = static_cast<int8_t>(material);
    edit(after, QStringLiteral("Material"));
}

void CQuorvelDoc::setRelief(int relief) {
    if (relief == mState.record.relief)
        return;
    State after = mState;
    after.record.relief = static_cast<int8_t>(relief);
    edit(after, QStringLiteral("Relief"));
}

void CQuorvelDoc::setParameter(Parameter which, float value) {
    State after = mState;
    TextureParams& record = after.record;
    switch (which) {
    case Parameter::Detail: record.octaves = static_cast<int16_t>(value); break;
    case Parameter::Turbulence: record.turbulence = value; break;
    case Parameter::ScaleX: record.scale.x = value; break;
    case Parameter::ScaleY: record.scale.y = value; break;
    case Parameter::ReliefScaleX: record.reliefScale.x = value; break;
    case Parameter::ReliefScaleY: record.reliefScale.y = value; break;
    case Parameter::Intensity: record.reliefIntensity = value; break;
    }
    edit(after, parameterName(which));
}

void CQuorvelDoc::setColourMap(const quorvel::ColourMap& map, const QString& name) {
    State after = mState;
    after.record.colourMap = map;
    edit(after, name);
}

void CQuorvelDoc::setImageFormat(int format, std::optional<QSize> size) {
    State after = mState;
    after.record.imageFormat = static_cast<int16_t>(format);
    if (size) {
        after.record.imageWidth = static_cast<int16_t>(size->width());
        after.record.imageHeight = static_cast<int16_t>(size->height());
        after.view = *size;
    } else {
        after.view = QSize(kNewWidth, kNewHeight);
    }
    edit(after, QStringLiteral("Image Format"));
}

void CQuorvelDoc::setSeamless(bool on) {
    State after = mState;
    quorvel::setSeamless(after.record, on);
    edit(after, QStringLiteral("Seamless"));
}

void CQuorvelDoc::moveTexture(float dx, float dy) {
    State after = mState;
    after.record.offset.x += dx;
    after.record.offset.y += dy;
    edit(after, QStringLiteral("Move Texture"));
}

void CQuorvelDoc::replaceRecord(const TextureParams& record, const QString& name) {
    State after = mState;
    after.record = record;
    after.view = QSize(record.imageWidth, record.imageHeight);
    edit(after, name);
}

void CQuorvelDoc::preview(const TextureParams& record) {
    if (!mPreviewBase)
        mPreviewBase = mState;
    restore({withRenderWrites(record), mState.view});
}

void CQuorvelDoc::commitPreview(const QString& name) {
    if (!mPreviewBase)
        return;
    const State after = mState;
    mState = *mPreviewBase;
    mPreviewBase.reset();
    edit(after, name);
}

void CQuorvelDoc::endPreview() {
    if (!mPreviewBase)
        return;
    const State before = *mPreviewBase;
    mPreviewBase.reset();
    restore(before);
}

void CQuorvelDoc::setPathName(const QString& path) {
    setTitleAndPath(QFileInfo(path).fileName(), path);
}

void CQuorvelDoc::setTitleAndPath(const QString& title, const QString& path) {
    mPathName = path;
    mTitle = title;
    emit titleChanged();
}

bool CQuorvelDoc::isModified() const { return mUnsaved || !mHistory->isClean(); }

void CQuorvelDoc::markSaved() {
    mUnsaved = false;
    mHistory->setClean();
    ++mRevision;
    noteModified();
}

void CQuorvelDoc::markUnsaved() {
    mUnsaved = true;
    ++mRevision;
    noteModified();
}

void CQuorvelDoc::noteModified() {
    if (isModified() == mWasModified)
        return;
    mWasModified = isModified();
    emit modifiedChanged(mWasModified);
}

void CQuorvelDoc::updateAllViews() { emit textureChanged(); }
