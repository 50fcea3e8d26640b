// The program's icons, at every size the desktop asks for and as a scalable picture, all drawn
// from one source: four of the shipped sample textures, rendered by the engine at the size of
// each icon, in a rounded square. Run by hand as `quorvel-icons res res/icons` when the
// picture changes; the install test checks that the icons in the tree are what it makes.
#include "engine/noise.h"
#include "engine/pixel.h"
#include "files/texturedocument.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <string>

namespace {

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
constexpr const char* kQuarters[] = {"beaten-gold.qvl", "white-marble.qvl", "lava.qvl",
                                     "agate.qvl"};

// One texture rendered at `side` x `side` pixels.
QImage texture(quorvel::TextureParams record, int side) {
    record.imageWidth = static_cast<int16_t>(side);
    record.imageHeight = static_cast<int16_t>(side);
    quorvel::applyRenderWrites(record);
    const auto sampling = quorvel::Sampling::image(side, side);
    QImage image(side, side, QImage::Format_RGB888);
    for (int y = 0; y < side; ++y)
        quorvel::renderRow(record, sampling, y, {image.scanLine(y), size_t(3 * side)});
    return image;
}

QImage icon(const quorvel::TextureParams (&quarters)[4], int size) {
    QImage picture(size, size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const double margin = size / 32.0;
    const QRectF area(margin, margin, size - 2 * margin, size - 2 * margin);
    QPainterPath rounded;
    rounded.addRoundedRect(area, size / 8.0, size / 8.0);
    painter.setClipPath(rounded);
    const int half = (size + 1) / 2;
    for (int i = 0; i < 4; ++i)
        painter.drawImage(QPoint((i % 2) * (size / 2), (i / 2) * (size / 2)),
                          texture(quarters[i], half));
    painter.setClipping(false);
    painter.setPen(QPen(QColor(0, 0, 0, 90), std::max(1.0, size / 64.0)));
    painter.drawPath(rounded);
    return picture;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: quorvel-icons SAMPLES-FOLDER OUT-FOLDER\n");
        return 2;
    }
    quorvel::initNoise();
    quorvel::TextureParams quarters[4];
    for (int i = 0; i < 4; ++i) {
        const std::string path = std::string(argv[1]) + "/" + kQuarters[i];
        if (const auto read = quorvel::readTextureDocument(path, quarters[i]); !read.ok()) {
            std::fprintf(stderr, "quorvel-icons: %s\n", read.message.c_str());
            return 1;
        }
    }
    const QString out = QString::fromLocal8Bit(argv[2]);
    QByteArray largest;
    for (const int size : kSizes) {
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        icon(quarters, size).save(&png, "PNG");
        QFile file(out + QStringLiteral("/quorvel-%1.png").arg(size));
        if (!file.open(QIODevice::WriteOnly) || file.write(png.data()) != png.data().size()) {
            std::fprintf(stderr, "quorvel-icons: cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
        largest = png.data();
    }
    // The scalable icon: the largest picture, which the desktop scales to any size.
    QFile svg(out + QStringLiteral("/quorvel.svg"));
    if (!svg.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "quorvel-icons: cannot write %s\n", qPrintable(svg.fileName()));
        return 1;
    }
    svg.write("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
              "viewBox=\"0 0 256 256\">\n<image width=\"256\" height=\"256\" "
              "href=\"data:image/png;base64,");
    svg.write(largest.toBase64());
    svg.write("\"/>\n</svg>\n");
    return 0;
}
