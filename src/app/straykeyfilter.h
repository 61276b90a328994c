#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

class QWindow;

// Keeps each key press in the window it began in. A key that closes a dialog goes down in the
// dialog, but its repeats and its release would reach whatever window comes up next, the main
// window below a message box say, where Enter refreshes the list and Esc asks to end the
// program. So once a key is pressed in one of the program's windows, its repeats and its
// release reach no other window until it is let go.
class CStrayKeyFilter : public QObject {
    Q_OBJECT

public:
    // A press this long after the last one of a key whose release never came is a new press:
    // the release went to another program. Longer than any keyboard's delay before it repeats.
    static constexpr unsigned long kRepeatGapMs = 1500;

    // Watches every key of the program while it lives.
    explicit CStrayKeyFilter(QObject* parent = nullptr);
    ~CStrayKeyFilter() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The last press of each key: where it went down, when it last went down, repeated or
    // went up, and whether it is up.
    struct Press {
        QPointer<QWindow> window;
        unsigned long lastMs = 0;
        bool bUp = false;
    };
    QHash<int, Press> m_presses;
};
