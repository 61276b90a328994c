#include "prefs/windowplacement.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <climits>

#include "platform/settingsstore.h"
#include "tasks/taskline.h"

namespace {

// The stored text is read with room for 19 characters.
constexpr int kDimBuffer = 20;

// How long a window that was placed before it had a frame waits for the window manager to
// report one.
constexpr int kFrameWaitMs = 3000;

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

// Watches a window placed before it had a frame and takes the frame off its client size
// as soon as the frame is known.
class CFrameFixer : public QObject {
public:
    CFrameFixer(QWidget& window, const QRect& frame)
        : QObject(&window), m_window(window), m_frame(frame) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &m_window) {
            return false;
        }
        const auto type = event->type();
        if (type == QEvent::Show && !m_bShown) {
            m_bShown = true;
            QTimer::singleShot(kFrameWaitMs, this, &QObject::deleteLater);
        }
        if (m_bShown && !m_bDone &&
            (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize)) {
            const QMargins margins = FrameMargins(m_window);
            if (!margins.isNull()) {
                m_bDone = true;
                m_window.removeEventFilter(this);
                m_window.resize(ClientSize(m_frame.size(), margins));
                deleteLater();
            }
        }
        return false;
    }

private:
    QWidget& m_window;
    QRect m_frame;
    bool m_bShown = false;
    bool m_bDone = false;
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
    if (frame.isNull() || frame.isEmpty()) {
        return;
    }
    const QMargins margins = FrameMargins(window);
    // For a top-level window the position includes the frame.
    window.move(frame.topLeft());
    window.resize(ClientSize(frame.size(), margins));
    if (margins.isNull() && !window.isVisible()) {
        new CFrameFixer(window, frame);
    }
}
