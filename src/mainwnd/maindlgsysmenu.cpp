// The About item in the window system's own menu. Windows lets a program add to that menu;
// other platforms' window managers draw their own, so there the Help menu and the tray menu
// are the ways to the About box.

#include "mainwnd/maindlg.h"

#ifdef Q_OS_WIN
#include "res/strings.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

// The system menu's About command; the window system keeps the low four bits for itself.
constexpr UINT kSysAboutCommand = 0x0010;

}  // namespace

void CMainDlg::AddSystemMenuAbout() {
    HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE);
    const QString text = QString::fromLatin1(Str::AboutMenuItem);
    if (menu == nullptr || text.isEmpty()) {
        return;
    }
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kSysAboutCommand, reinterpret_cast<LPCWSTR>(text.utf16()));
}

bool CMainDlg::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == kSysAboutCommand) {
        m_actions.pAbout->trigger();
        *result = 0;
        return true;
    }
    return QDialog::nativeEvent(eventType, message, result);
}

#else

void CMainDlg::AddSystemMenuAbout() {}

#endif
