#pragma once

#include <QWidget>

class QLabel;

// The title bar of a window that goes without the window system's frame: the program's icon
// and the window's title, kept up to date with the window's own, and a press on it moves the
// window as a frame's title bar would. It has no buttons.
class CCaptionBar : public QWidget {
    Q_OBJECT

public:
    // Shows the title of the window parent belongs to.
    explicit CCaptionBar(QWidget* parent);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QLabel* m_pIcon;
    QLabel* m_pCaption;
};
