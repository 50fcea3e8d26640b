#include "app/clipboardcommands.h"

#include "app/backgroundtask.h"
#include "document/quorveldoc.h"
#include "document/userdialogs.h"
#include "engine/renderer.h"
#include "files/texturedocument.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <cstring>

namespace {

// Writes finished rows straight into the clipboard image.
class ImageSink : public quorvel::RowSink {
public:
    explicit ImageSink(QImage& image) : mImage(image) {}
    bool acceptRow(int row, std::span<const uint8_t> rgb) override {
        std::memcpy(mImage.scanLine(row), rgb.data(), rgb.size());
        return true;
    }

private:
    QImage& mImage;
};

}  // namespace

CClipboardCommands::CClipboardCommands(QWidget* window, QObject* parent)
    : QObject(parent), mWindow(window) {}

bool CClipboardCommands::copy(const CQuorvelDoc* document) {
    if (!document)
        return false;
    quorvel::TextureParams record = document->record();
    QImage image(record.imageWidth, record.imageHeight, QImage::Format_RGB888);
    if (image.isNull()) {
        CUserDialogs::instance().tell(
            mWindow, tr("There is not enough memory for the %1 x %2 image of %3: nothing was copied.")
                         .arg(record.imageWidth)
                         .arg(record.imageHeight)
                         .arg(document->title()));
        return false;
    }
    const bool completed = runInBackground(
        mWindow, tr("Copying %1...").arg(document->title()),
        [&](const std::atomic<bool>& cancel, const std::function<void(int, int)>& progress) {
            ImageSink sink(image);
            quorvel::RenderOptions options;
            options.cancel = &cancel;
            options.progress = progress;
            quorvel::renderImage(
                record, quorvel::Sampling::image(record.imageWidth, record.imageHeight), sink,
                options);
        });
    if (!completed) {
        emit status(tr("Copy cancelled: the Clipboard is unchanged."));
        return false;
    }
    auto* data = new QMimeData;
    data->setImageData(image);
    data->setData(kTextureMimeType, recordBytes(document->record()));
    QGuiApplication::clipboard()->setMimeData(data);
    emit status(tr("Copied %1 (%2 x %3) to the Clipboard.")
                    .arg(document->title())
                    .arg(image.width())
                    .arg(image.height()));
    return true;
}

bool CClipboardCommands::canPaste() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasFormat(kTextureMimeType);
}

bool CClipboardCommands::paste(CQuorvelDoc* document) {
    if (!document)
        return false;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasFormat(kTextureMimeType)) {
        emit status(tr("The Clipboard holds no texture to paste."));
        return false;
    }
    const QByteArray bytes = data->data(kTextureMimeType);
    quorvel::TextureParams record = document->record();
    const std::string source = "the texture on the Clipboard";
    const auto span = std::span(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                static_cast<size_t>(bytes.size()));
    quorvel::FileStatus status = quorvel::decodeTextureDocument(span, record, source);
    if (status.ok())
        status = quorvel::checkTextureRecord(record, source);
    if (!status.ok()) {
        CUserDialogs::instance().tell(mWindow, QString::fromStdString(status.message));
        return false;
    }
    document->replaceRecord(record, tr("Paste"));
    return true;
}
