#pragma once

#include <QRect>
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
// rectangle leaves the window as it is. The frame's size is often unknown until the window
// is first shown, so the client size is corrected once then: the window keeps the stored
// outer size instead of growing by its frame at every run.
void ApplyWindowPlacement(QWidget& window, const QRect& frame);
