#pragma once

class QWidget;

// Shows the window and minimises it once the window system has put it on screen. Some window
// managers show a window normally when it was minimised before it was first shown.
void ShowMinimizedOnceMapped(QWidget& window);
