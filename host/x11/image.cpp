// Reads the bitmap built into the program through Qt's image reader.
#include "host/x11/image.h"

#include <QImage>

namespace {

constexpr char kMascotImagePath[] = ":/mascot.bmp";
constexpr std::uint32_t kRgbMask = 0x00FFFFFF;

}  // namespace

CImage LoadMascotImage() {
    QImage read(QString::fromLatin1(kMascotImagePath));
    if (read.isNull()) return {};
    QImage rgb = read.convertToFormat(QImage::Format_RGB32);
    CImage image;
    image.width = rgb.width();
    image.height = rgb.height();
    image.pixels.reserve(static_cast<std::size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < image.width; ++x) image.pixels.push_back(row[x] & kRgbMask);
    }
    return image;
}
