#pragma once

#include <QRect>
#include <QSize>
#include <optional>
#include <string>
#include <string_view>

class CSettingsStore;
class QWidget;

// A window rectangle as stored: left, top, right and bottom of the outer frame.
struct StoredRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool operator==(const StoredRect&) const = default;
};

// "%d,%d,%d,%d" of left, top, right, bottom.
std::string FormatDim(const StoredRect& rect);
// Splits at commas (runs of commas count as one); fewer than four pieces gives nothing.
std::optional<StoredRect> ParseDim(std::string_view text);

// The stored rectangle as x, y, width, height; a null QRect when nothing usable is stored.
QRect LoadWindowPlacement(const CSettingsStore& store);
// Saves the window's outer rectangle as "dim", unless the window is minimised.
void SaveWindowPlacement(CSettingsStore& store, const QWidget& window);

// Gives a top-level window the outer rectangle that LoadWindowPlacement returned; a null
// rectangle leaves the window where it is. From its first show on the window keeps the stored
// outer size once its frame is known, and its frame is kept on the screen (FrameOnScreen), so
// that neither a stored placement nor a large scale can leave the title bar out of reach.
void ApplyWindowPlacement(QWidget& window, const QRect& frame);

// The frame made to fit the available area of its screen: no larger than the area (but not
// smaller than minimum) and moved inside it. Where it cannot fit, its top and left edges stay
// in the area. A frame inside the area comes back as it is.
QRect FrameOnScreen(const QRect& frame, const QRect& available, const QSize& minimum);
