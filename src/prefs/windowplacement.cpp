#include "prefs/windowplacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <climits>

#include "platform/settingsstore.h"
#include "tasks/taskline.h"

namespace {

// The stored text is read with room for 19 characters.
constexpr int kDimBuffer = 20;

// How long a window shown before it had a frame waits for the window manager to report one,
// and how often it looks.
constexpr int kFrameWaitMs = 3000;
constexpr int kFrameCheckMs = 20;
// How long after the frame is known the window's moves are still kept on screen.
constexpr int kSettleMs = 1000;

QMargins FrameMargins(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

QSize ClientSize(const QSize& outer, const QMargins& margins) {
    return {std::max(outer.width() - margins.left() - margins.right(), 1),
            std::max(outer.height() - margins.top() - margins.bottom(), 1)};
}

// The screen a frame is on: the one holding its middle, else the nearest one.
QScreen* ScreenOf(const QRect& frame) {
    if (QScreen* screen = QGuiApplication::screenAt(frame.center())) {
        return screen;
    }
    QScreen* nearest = QGuiApplication::primaryScreen();
    long long best = LLONG_MAX;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QPoint apart = screen->geometry().center() - frame.center();
        const long long distance = static_cast<long long>(apart.x()) * apart.x() +
                                   static_cast<long long>(apart.y()) * apart.y();
        if (distance < best) {
            best = distance;
            nearest = screen;
        }
    }
    return nearest;
}

// Looks after a top-level window from its first show on: gives it the stored outer size once
// the window manager reports the frame (the frame's size is often unknown before the window
// is first shown, so the client size is corrected then, instead of the window growing by its
// frame at every run) and keeps the frame on the screen: at the show, when the frame is known,
// and at every move the window manager makes in the second after that.
class CPlacementKeeper : public QObject {
public:
    CPlacementKeeper(QWidget& window, const QRect& storedFrame)
        : QObject(&window), m_window(window), m_storedFrame(storedFrame) {
        window.installEventFilter(this);
        // The frame becomes known some time after the show, with no event of its own.
        m_frameWait.setInterval(kFrameCheckMs);
        connect(&m_frameWait, &QTimer::timeout, this, &CPlacementKeeper::CheckFrame);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto type = event->type();
        if (m_bSettling) {
            // The window manager may still place the window after its frame is known (a busy
            // desktop reports the frame before the position); each move is checked again.
            if (watched == &m_window && (type == QEvent::Move || type == QEvent::Resize)) {
                QTimer::singleShot(0, this, &CPlacementKeeper::KeepOnScreen);
            }
            return false;
        }
        if (watched != &m_window || m_frameWait.isActive() ||
            (type != QEvent::Show && type != QEvent::WindowStateChange) || !m_window.isVisible() ||
            m_window.isMinimized()) {
            return false;
        }
        // Shown for the first time, or restored after a minimised start.
        m_window.removeEventFilter(this);
        KeepOnScreen();
        m_frameWait.start();
        CheckFrame();
        return false;
    }

private:
    void CheckFrame() {
        if (++m_nChecks > kFrameWaitMs / kFrameCheckMs) {
            deleteLater();
            m_frameWait.stop();
            return;
        }
        const QMargins margins = FrameMargins(m_window);
        if (margins.isNull()) {
            return;
        }
        m_frameWait.stop();
        if (!m_storedFrame.isNull()) {
            m_window.resize(ClientSize(m_storedFrame.size(), margins));
        }
        KeepOnScreen();
        m_bSettling = true;
        m_window.installEventFilter(this);
        QTimer::singleShot(kSettleMs, this, [this] {
            KeepOnScreen();
            deleteLater();
        });
    }

    void KeepOnScreen() {
        if (m_window.isMinimized()) {
            return;
        }
        const QRect frame = m_window.frameGeometry();
        const QScreen* screen = ScreenOf(frame);
        if (screen == nullptr) {
            return;
        }
        const QMargins margins = FrameMargins(m_window);
        const QRect fitted = FrameOnScreen(frame, screen->availableGeometry(),
                                           m_window.minimumSize().grownBy(margins));
        if (fitted != frame) {
            m_window.move(fitted.topLeft());
            m_window.resize(ClientSize(fitted.size(), margins));
        }
    }

    QWidget& m_window;
    QRect m_storedFrame;
    QTimer m_frameWait;
    int m_nChecks = 0;
    bool m_bSettling = false;  // the frame is known; moves are still checked for a while
};

}  // namespace

std::string FormatDim(const StoredRect& rect) {
    return std::to_string(rect.left) + ',' + std::to_string(rect.top) + ',' +
           std::to_string(rect.right) + ',' + std::to_string(rect.bottom);
}

std::optional<StoredRect> ParseDim(std::string_view text) {
    int values[4] = {};
    int found = 0;
    std::size_t pos = 0;
    while (found < 4) {
        pos = text.find_first_not_of(',', pos);
        if (pos == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(text.find(',', pos), text.size());
        values[found++] = ParseInt(text.substr(pos, end - pos));
        pos = end;
    }
    if (found < 4) {
        return std::nullopt;
    }
    return StoredRect{.left = values[0], .top = values[1], .right = values[2], .bottom = values[3]};
}

QRect LoadWindowPlacement(const CSettingsStore& store) {
    const auto text = store.ReadValue(SettingKey::Dim, kDimBuffer);
    if (!text) {
        return {};
    }
    const auto rect = ParseDim(*text);
    if (!rect || rect->IsEmpty()) {
        return {};
    }
    // Sizes that do not fit an int cannot come from a text this short, but are refused anyway.
    const long long width = static_cast<long long>(rect->right) - rect->left;
    const long long height = static_cast<long long>(rect->bottom) - rect->top;
    if (width > INT_MAX || height > INT_MAX) {
        return {};
    }
    return {rect->left, rect->top, static_cast<int>(width), static_cast<int>(height)};
}

void SaveWindowPlacement(CSettingsStore& store, const QWidget& window) {
    if (window.isMinimized()) {
        return;
    }
    // QRect::right() is one less than left + width; the stored form keeps the edge itself.
    const QRect frame = window.frameGeometry().normalized();
    const StoredRect rect{.left = frame.x(),
                          .top = frame.y(),
                          .right = frame.x() + frame.width(),
                          .bottom = frame.y() + frame.height()};
    store.WriteValue(SettingKey::Dim, FormatDim(rect));
}

void ApplyWindowPlacement(QWidget& window, const QRect& frame) {
    const bool bStored = !frame.isNull() && !frame.isEmpty();
    if (bStored) {
        // For a top-level window the position includes the frame.
        window.move(frame.topLeft());
        window.resize(ClientSize(frame.size(), FrameMargins(window)));
    }
    if (!window.isVisible()) {
        new CPlacementKeeper(window, bStored ? frame : QRect());
    }
}

QRect FrameOnScreen(const QRect& frame, const QRect& available, const QSize& minimum) {
    const int width = std::min(frame.width(), std::max(available.width(), minimum.width()));
    const int height = std::min(frame.height(), std::max(available.height(), minimum.height()));
    // Moved in from the right and the bottom first, so that where the frame cannot fit, its
    // left end and its title bar are the parts that stay on screen.
    const int x =
        std::max(std::min(frame.x(), available.x() + available.width() - width), available.x());
    const int y =
        std::max(std::min(frame.y(), available.y() + available.height() - height), available.y());
    return {x, y, width, height};
}
