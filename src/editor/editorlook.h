#pragma once

#include <QSize>
#include <initializer_list>

class QFont;
class QPainter;
class QPushButton;
class QRect;
class QWidget;

// The task editor's look: white text on the dark-blue ground, dark-blue text on light yellow
// in the fields the user can type in, and the mode label with its drop shadow.

// The dialog's ground and white texts; the buttons keep the system's colours.
void SetEditorGround(QWidget* pDialog, std::initializer_list<QPushButton*> buttons);

// A field in the colours of its mode: typed in, or only shown on the ground.
void SetFieldColours(QWidget* pField, bool bReadOnly);

// The room the mode label takes in the dialog's font, shadow included.
QSize ModeLabelSize(const QFont& dialogFont);

// "Read Mode" (white over blue) or "Edit Mode" (light yellow over black) at the top left of
// place, its shadow two pixels down and to the right.
void PaintModeLabel(QPainter& painter, const QRect& place, bool bReadOnly);
