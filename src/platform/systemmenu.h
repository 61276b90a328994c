#pragma once

class QString;
class QWidget;

// The window system's own menu of a window, which Windows opens from the title bar's icon
// and with Alt+Space. Windows lets a program add its commands to it; elsewhere the window
// manager draws that menu itself, and these exist only for Windows.

// Adds a separator and an item with this text and command to the window's system menu. The
// command's lowest four bits must be zero: Windows keeps them for itself.
void AddSystemMenuItem(QWidget* window, const QString& text, unsigned command);

// Whether a native event of the window (as QWidget::nativeEvent gets it) chooses the command.
bool IsSystemMenuCommand(const void* message, unsigned command);
