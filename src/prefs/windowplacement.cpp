#include "prefs/windowplacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <climits>

#include "platform/settingsstore.h"
#include "tasks/taskline.h"

namespace {

// The stored text is read with room for 19 characters.
constexpr int kDimBuffer = 20;

// How often a window shown before it had a frame looks whether the window manager has reported
// one, and for how long at most: a frame is waited for however busy the desktop is, and only a
// desktop that never frames its windows stops the looking.
constexpr int kFrameCheckMs = 20;
constexpr qint64 kFrameWaitMs = 60000;
// How long after the frame is known the window's moves are at least kept on screen, and how
// long the moves must have stopped before the window is looked at. The looking after ends only
// once a look finds the frame on screen where it was asked to be, not while a move is pending.
constexpr int kSettleMs = 1000;
constexpr int kMovesStoppedMs = 100;
// A window manager that never answers is not waited for beyond this: the user's own moves are
// then left alone.
constexpr int kSettleLimitMs = 15000;

// The frame the window manager draws around the window, as far as it has said yet. Asked of
// the window itself: the widget's own copy is only brought up to date by a move or a resize,
// and the window manager may tell the frame after both.
QMargins FrameMargins(const QWidget& window) {
    if (const QWindow* handle = window.windowHandle()) {
        return handle->frameMargins();
    }
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

bool IsOnScreenInNormalState(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return window.isVisible() && !window.isMinimized() && handle != nullptr && handle->isExposed();
}

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

CWindowPlacement::CWindowPlacement(QWidget& window) : QObject(&window), m_window(window) {
    window.installEventFilter(this);
    // The frame becomes known some time after the show, with no event of its own.
    m_frameWait.setInterval(kFrameCheckMs);
    connect(&m_frameWait, &QTimer::timeout, this, &CWindowPlacement::CheckFrame);
    m_settleLimit.setSingleShot(true);
    connect(&m_settleLimit, &QTimer::timeout, this, [this] { m_bSettling = false; });
    m_settleCheck.setSingleShot(true);
    m_settleCheck.setInterval(kMovesStoppedMs);
    connect(&m_settleCheck, &QTimer::timeout, this, &CWindowPlacement::KeepOnScreen);
}

void CWindowPlacement::Restore(const QRect& frame) {
    const bool bStored = !frame.isNull() && !frame.isEmpty();
    if (bStored) {
        // For a top-level window the position includes the frame.
        m_window.move(frame.topLeft());
        m_window.resize(ClientSize(frame.size(), FrameMargins(m_window)));
    }
    if (m_window.isVisible()) {
        return;
    }
    m_storedFrame = bStored ? frame : QRect();
    m_bWaitingForShow = true;
}

void CWindowPlacement::Save(CSettingsStore& store) {
    Record();
    if (m_window.isMinimized() || !m_lastClient) {
        return;
    }
    // Until the window has its frame, the place it is going to is the stored one.
    const QRect frame = (m_frameWait.isActive() && !m_storedFrame.isNull()
                             ? m_storedFrame
                             : m_lastClient->marginsAdded(m_frameMargins))
                            .normalized();
    // QRect::right() is one less than left + width; the stored form keeps the edge itself.
    const StoredRect rect{.left = frame.x(),
                          .top = frame.y(),
                          .right = frame.x() + frame.width(),
                          .bottom = frame.y() + frame.height()};
    store.WriteValue(SettingKey::Dim, FormatDim(rect));
}

void CWindowPlacement::Record() {
    if (!IsOnScreenInNormalState(m_window)) {
        return;
    }
    const QMargins margins = FrameMargins(m_window);
    if (!margins.isNull()) {
        m_frameMargins = margins;
    }
    const QRect client = m_window.geometry();
    if (client.width() >= m_window.minimumWidth() && client.height() >= m_window.minimumHeight()) {
        m_lastClient = client;
    }
}

bool CWindowPlacement::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (watched == m_window.windowHandle()) {
        // On screen at last: the frame may be known now.
        if (type == QEvent::Expose && m_frameWait.isActive()) {
            QTimer::singleShot(0, this, &CWindowPlacement::CheckFrame);
        }
        return false;
    }
    if (watched != &m_window) {
        return false;
    }
    if (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Expose ||
        type == QEvent::WindowStateChange) {
        Record();
    }
    if (m_bSettling) {
        // The window manager may still place the window after its frame is known (a busy
        // desktop reports the frame before the position); each move is checked again once the
        // moves have stopped, as a window restored from minimised passes through places it
        // does not stay at.
        if (type == QEvent::Move || type == QEvent::Resize) {
            m_settleCheck.start();
        }
    } else if (m_bWaitingForShow && (type == QEvent::Show || type == QEvent::WindowStateChange) &&
               m_window.isVisible() && !m_window.isMinimized()) {
        // Shown for the first time, or restored after a minimised start.
        StartLookingAfter();
    } else if ((type == QEvent::Move || type == QEvent::Resize) && !m_frameWait.isActive() &&
               TitleBarOutOfReach()) {
        // However late a window manager places the window, its title bar is brought back.
        m_settleCheck.start();
    }
    return false;
}

bool CWindowPlacement::TitleBarOutOfReach() const {
    const QMargins margins = FrameMargins(m_window);
    if (margins.isNull() || !IsOnScreenInNormalState(m_window)) {
        return false;
    }
    const QRect frame = m_window.geometry().marginsAdded(margins);
    const QScreen* screen = ScreenOf(frame);
    return screen != nullptr && frame.top() < screen->availableGeometry().top();
}

void CWindowPlacement::StartLookingAfter() {
    m_bWaitingForShow = false;
    if (QWindow* handle = m_window.windowHandle()) {
        handle->removeEventFilter(this);
        handle->installEventFilter(this);
    }
    KeepOnScreen();
    m_frameWaitStarted.start();
    m_frameWait.start();
    CheckFrame();
}

void CWindowPlacement::CheckFrame() {
    if (!m_frameWait.isActive()) {
        return;  // a check queued at an expose after the frame was placed
    }
    if (m_frameWaitStarted.hasExpired(kFrameWaitMs)) {
        m_frameWait.stop();
        return;
    }
    // Minimised again before the frame was known: looked after at the next restore.
    if (m_window.isMinimized() || !m_window.isVisible()) {
        m_frameWait.stop();
        m_bWaitingForShow = true;
        return;
    }
    // Placed once it is on screen: a window first mapped minimised is placed by the window
    // manager only as it is restored.
    const QMargins margins = FrameMargins(m_window);
    if (margins.isNull() || !m_window.windowHandle()->isExposed()) {
        return;
    }
    m_frameWait.stop();
    // Placed again too: a window first mapped minimised is placed by the window manager only
    // when it is restored, which need not be where it was asked to be.
    PlaceFrame(m_storedFrame.isNull() ? m_window.geometry().marginsAdded(margins) : m_storedFrame);
    m_bSettling = true;
    m_bSettleTimeOver = false;
    QTimer::singleShot(kSettleMs, this, [this] {
        m_bSettleTimeOver = true;
        if (!m_settleCheck.isActive()) {
            KeepOnScreen();
        }
    });
    m_settleLimit.start(kSettleLimitMs);
}

void CWindowPlacement::KeepOnScreen() {
    if (m_window.isMinimized()) {
        return;
    }
    const bool bMoved = PlaceFrame(TargetFrame());
    // Settled once the window manager has left the frame where it was asked to be for the
    // settling time; a move still to come is looked at when the moves have stopped.
    if (m_bSettling && m_bSettleTimeOver && !bMoved) {
        m_bSettling = false;
    }
}

QRect CWindowPlacement::TargetFrame() const {
    // While the window settles, the stored place is the one asked for: a window restored from
    // a minimised start passes through places the window manager picks on the way.
    QRect frame = m_window.geometry().marginsAdded(FrameMargins(m_window));
    if (m_bSettling && !m_storedFrame.isNull()) {
        frame.moveTopLeft(m_storedFrame.topLeft());
    }
    return frame;
}

bool CWindowPlacement::PlaceFrame(const QRect& frame) {
    const QScreen* screen = ScreenOf(frame);
    if (screen == nullptr) {
        return false;
    }
    const QMargins margins = FrameMargins(m_window);
    const QRect fitted =
        FrameOnScreen(frame, screen->availableGeometry(), m_window.minimumSize().grownBy(margins));
    if (fitted != m_window.geometry().marginsAdded(margins)) {
        // In one request: a window manager may answer a size alone with a place of its own.
        m_window.setGeometry(QRect(fitted.topLeft() + QPoint(margins.left(), margins.top()),
                                   ClientSize(fitted.size(), margins)));
        return true;
    }
    return false;
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
