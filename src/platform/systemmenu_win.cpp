#include "platform/systemmenu.h"

#include <QString>
#include <QWidget>

#include <windows.h>

void AddSystemMenuItem(QWidget* window, const QString& text, unsigned command) {
    HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(window->winId()), FALSE);
    if (menu == nullptr || text.isEmpty()) {
        return;
    }
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, command, reinterpret_cast<LPCWSTR>(text.utf16()));
}

bool IsSystemMenuCommand(const void* message, unsigned command) {
    const MSG* msg = static_cast<const MSG*>(message);
    return msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == command;
}
