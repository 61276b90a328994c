#include "res/images.h"

#include <QImage>
#include <QPixmap>

namespace {

// The ground of the status strip, which the list shows as transparent.
constexpr QRgb kStatusGround = qRgb(192, 192, 192);

// The sizes a window, the tray and the About box ask for, at scales 1 and 2. Decoding the
// larger ones took a start-up milliseconds; they are installed in the desktop's icon theme
// for its menus instead.
constexpr int kIconSizes[] = {16, 32, 48, 64};

constexpr int kStatusImageCount = 4;

// A strip of status images with its ground made transparent.
QImage KeyedStrip(const QString& path) {
    QImage strip = QImage(path).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < strip.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(strip.scanLine(y));
        for (int x = 0; x < strip.width(); ++x) {
            if ((line[x] & RGB_MASK) == (kStatusGround & RGB_MASK)) {
                line[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
    return strip;
}

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

QList<QIcon> StatusImages() {
    LoadImageResources();
    QList<QIcon> images(kStatusImageCount);
    for (const int scale : {1, 2}) {
        const QImage strip = KeyedStrip(scale == 1 ? QStringLiteral(":/images/status.png")
                                                   : QStringLiteral(":/images/status@2x.png"));
        const int cell = kStatusImageSize * scale;
        for (int i = 0; i < kStatusImageCount && (i + 1) * cell <= strip.width(); ++i) {
            images[i].addPixmap(QPixmap::fromImage(strip.copy(i * cell, 0, cell, cell)));
        }
    }
    return images;
}
