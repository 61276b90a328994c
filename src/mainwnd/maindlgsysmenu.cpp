// The About item in the window system's own menu. Windows lets a program add to that menu;
// other platforms' window managers draw their own, so there the Help menu and the tray menu
// are the ways to the About box.

#include "mainwnd/maindlg.h"

#ifdef Q_OS_WIN
#include "platform/systemmenu.h"
#include "res/strings.h"

namespace {

// The system menu's About command; the window system keeps the low four bits for itself.
constexpr unsigned kSysAboutCommand = 0x0010;

}  // namespace

void CMainDlg::AddSystemMenuAbout() {
    AddSystemMenuItem(this, QString::fromLatin1(Str::AboutMenuItem), kSysAboutCommand);
}

bool CMainDlg::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    if (IsSystemMenuCommand(message, kSysAboutCommand)) {
        m_actions.pAbout->trigger();
        *result = 0;
        return true;
    }
    return QDialog::nativeEvent(eventType, message, result);
}

#else

void CMainDlg::AddSystemMenuAbout() {}

#endif
