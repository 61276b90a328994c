#pragma once

#include <QElapsedTimer>
#include <QMargins>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QTimer>
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

// The place of a top-level window, kept from one run to the next as its outer rectangle (the
// frame the window manager draws included). It lives as long as the window, as its child.
class CWindowPlacement : public QObject {
    Q_OBJECT

public:
    explicit CWindowPlacement(QWidget& window);

    // Gives the window, before it is first shown, the outer rectangle that LoadWindowPlacement
    // returned; a null rectangle leaves it where it is. From its first show in its normal state
    // on, the window keeps the stored outer size once its frame is known, and its frame is kept
    // on the screen (FrameOnScreen), so that neither a stored placement nor a large scale can
    // leave the title bar out of reach. A window shown minimised first is looked after when it
    // is restored.
    void Restore(const QRect& frame);

    // Saves as "dim" the outer rectangle the window last had while it was on screen in its
    // normal state, and nothing while it is minimised, or when it never was on screen, or never
    // at least at its minimum size: so neither a window that is not yet placed nor a window
    // manager's passing state can be stored.
    void Save(CSettingsStore& store);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Notes the window's rectangle and frame while it is on screen in its normal state.
    void Record();
    void StartLookingAfter();
    void CheckFrame();
    void KeepOnScreen();
    // Whether the frame's top, with the title bar, is above the screen's available area.
    bool TitleBarOutOfReach() const;
    // Where the frame is to be: where it is, or while the window settles, at the stored place.
    QRect TargetFrame() const;
    // Gives the window this outer rectangle, made to fit its screen; whether it had to be moved.
    bool PlaceFrame(const QRect& frame);

    QWidget& m_window;
    std::optional<QRect> m_lastClient;  // the window's last rectangle on screen
    QMargins m_frameMargins;            // the frame around it, once the window manager told
    // The first show: the stored outer size to give the window once its frame is known, and
    // the window manager's moves kept on screen for a moment after that.
    QRect m_storedFrame;
    bool m_bWaitingForShow = false;
    bool m_bSettling = false;
    bool m_bSettleTimeOver = false;
    QTimer m_frameWait;
    QElapsedTimer m_frameWaitStarted;
    QTimer m_settleCheck;
    QTimer m_settleLimit;
};

// The frame made to fit the available area of its screen: no larger than the area (but not
// smaller than minimum) and moved inside it. Where it cannot fit, its top and left edges stay
// in the area. A frame inside the area comes back as it is.
QRect FrameOnScreen(const QRect& frame, const QRect& available, const QSize& minimum);
