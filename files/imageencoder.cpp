#include "files/imageencoder.h"

#include "files/atomicfile.h"
#include "files/bitmapencoder.h"
#include "files/jpegencoder.h"
#include "files/pngencoder.h"
#include "files/ppmencoder.h"
#include "files/targaencoder.h"

namespace quorvel {

bool ImageEncoder::finish() { return !mFile.failed(); }

std::unique_ptr<ImageEncoder> makeImageEncoder(ExportFormat format, AtomicFile& file, int width,
                                               int height) {
    switch (format) {
    case ExportFormat::Targa: return std::make_unique<TargaEncoder>(file, width, height);
    case ExportFormat::Bitmap: return std::make_unique<BitmapEncoder>(file, width, height);
    case ExportFormat::Jpeg: return std::make_unique<JpegEncoder>(file, width, height);
    case ExportFormat::Png: return std::make_unique<PngEncoder>(file, width, height);
    case ExportFormat::Ppm: return std::make_unique<PpmEncoder>(file, width, height);
    case ExportFormat::TextureDocument:
    case ExportFormat::Tpr: break;
    }
    return nullptr;
}

}  // namespace quorvel
