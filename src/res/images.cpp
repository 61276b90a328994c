#include "res/images.h"

#include <QImage>

namespace {

// The ground of the status strip, which the list shows as transparent.
constexpr QRgb kStatusGround = qRgb(192, 192, 192);

constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};

}  // namespace

// The resources live in a static library, whose object files the linker drops unless
// something refers to them; this does.
static void LoadImageResources() {
    static const bool loaded = [] {
        Q_INIT_RESOURCE(images);
        return true;
    }();
    Q_UNUSED(loaded);
}

QIcon AppIcon() {
    LoadImageResources();
    QIcon icon;
    for (const int size : kIconSizes) {
        icon.addFile(QStringLiteral(":/icons/app-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

QList<QPixmap> StatusImages() {
    LoadImageResources();
    QImage strip(QStringLiteral(":/images/status.png"));
    strip = strip.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < strip.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(strip.scanLine(y));
        for (int x = 0; x < strip.width(); ++x) {
            if ((line[x] & RGB_MASK) == (kStatusGround & RGB_MASK)) {
                line[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
    QList<QPixmap> images;
    for (int x = 0; x + kStatusImageSize <= strip.width(); x += kStatusImageSize) {
        images.append(QPixmap::fromImage(strip.copy(x, 0, kStatusImageSize, kStatusImageSize)));
    }
    return images;
}
