// Looks at a screenshot of a desktop whose ground is one plain colour with one window on it, and
// tells where the window is and what its title bar shows: how many buttons stand at its right
// end, and whether something (the icon, the caption) is drawn left of them.
//
//   titlebar_check SCREENSHOT.png
//
// prints "window X Y WIDTH HEIGHT", "buttons N" and "caption yes|no"; exits 2 when the picture
// holds no window, 1 when it cannot be read.

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace {

// A window smaller than this is not one (a stray pixel, a cursor).
constexpr int kMinWindowSide = 60;
// The title bar's rows that hold its buttons and caption, from the window's top edge, and how
// wide its right end is, where the buttons stand.
constexpr int kBandTop = 4;
constexpr int kBandBottom = 24;
constexpr int kButtonsWidth = 80;
// Room between the window's right edge and the first column looked at: its frame.
constexpr int kRightEdge = 5;
// A pixel this far from the title bar's own colour, in any channel, is drawn on it.
constexpr int kInk = 40;
// Columns without ink between two drawings: two or more separate them.
constexpr int kGap = 2;

bool Differs(QRgb a, QRgb b, int amount) {
    return std::abs(qRed(a) - qRed(b)) > amount || std::abs(qGreen(a) - qGreen(b)) > amount ||
           std::abs(qBlue(a) - qBlue(b)) > amount;
}

// The smallest rectangle around every pixel that is not the ground's colour.
QRect WindowIn(const QImage& image, QRgb ground) {
    int left = image.width();
    int top = image.height();
    int right = -1;
    int bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] != ground) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// The drawings (runs of columns with ink) in the title bar between the columns from and to.
// Each row's own colour is the one at the window's right end, so a bar of bands counts as
// plain.
int DrawingsIn(const QImage& image, const QRect& window, int from, int to) {
    const int reference = window.right() - kRightEdge;
    int drawings = 0;
    int blank = kGap;
    for (int x = from; x < to; ++x) {
        bool bInk = false;
        for (int y = window.top() + kBandTop; y < window.top() + kBandBottom && !bInk; ++y) {
            bInk = Differs(image.pixel(x, y), image.pixel(reference, y), kInk);
        }
        if (bInk && blank >= kGap) {
            ++drawings;
        }
        blank = bInk ? 0 : blank + 1;
    }
    return drawings;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: titlebar_check SCREENSHOT.png\n";
        return 1;
    }
    QImage image(QString::fromLocal8Bit(argv[1]));
    if (image.isNull()) {
        std::cerr << "titlebar_check: cannot read " << argv[1] << '\n';
        return 1;
    }
    image = image.convertToFormat(QImage::Format_RGB32);
    // The ground shows in the corner: windows are placed inside the screen.
    const QRect window = WindowIn(image, image.pixel(0, 0));
    if (window.width() < kMinWindowSide || window.height() < kMinWindowSide) {
        std::printf("no window\n");
        return 2;
    }
    const int buttonsFrom = window.right() - kButtonsWidth;
    const int buttons = DrawingsIn(image, window, buttonsFrom, window.right() - kRightEdge);
    const int caption = DrawingsIn(image, window, window.left() + kRightEdge, buttonsFrom);
    std::printf("window %d %d %d %d\nbuttons %d\ncaption %s\n", window.x(), window.y(),
                window.width(), window.height(), buttons, caption > 0 ? "yes" : "no");
    return 0;
}
