#pragma once

#include <QObject>
#include <QPointer>

class QFocusFrame;
class QWidget;

// Shows where the keyboard focus is, in every window of the program: a frame around the
// focused control in the text colour of the ground it stands on (white on the dark-blue
// windows, black on the light ones), which stands out at least 3:1 against that ground where
// the style's own marks (a faint tint, a thin line in the selection colour) do not. The
// frame follows the focus as the keyboard moves it; a control the mouse clicked shows no
// frame, as the user knows where the click went.
class CFocusRing : public QObject {
    Q_OBJECT

public:
    // Watches the whole program while it lives.
    explicit CFocusRing(QObject* parent = nullptr);
    ~CFocusRing() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnFocusChanged(QWidget* old, QWidget* now);
    void Show(QWidget* widget);

    QPointer<QFocusFrame> m_pFrame;
};
