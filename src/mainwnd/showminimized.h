#pragma once

class QWidget;

// Shows a top-level window minimised from the start, so that the window system maps it
// minimised (iconic) straight away. A dialog without a place of its own is centred as it is
// first shown, which also takes the minimised state away; it is given that place first.
void ShowMinimizedAtStart(QWidget& window);
