// The main window's tray icon: added once at start-up, removed at exit. A double-click, or
// "Show" in its menu, brings the window back; the menu also offers a few everyday commands.

#include <QSystemTrayIcon>

#include "mainwnd/commandmenu.h"
#include "mainwnd/mainactions.h"
#include "mainwnd/maindlg.h"
#include "reminder/reminderdlg.h"
#include "res/images.h"
#include "res/strings.h"

void CMainDlg::AddTrayIcon() {
    if (m_pTrayIcon != nullptr) {
        return;
    }
    if (m_pTrayMenu == nullptr) {
        m_pTrayMenu = m_pActions->BuildTrayMenu(this);
    }
    m_pTrayIcon = new QSystemTrayIcon(AppIcon(), this);
    m_pTrayIcon->setToolTip(QString::fromLatin1(Str::TrayTip));
    m_pTrayIcon->setContextMenu(m_pTrayMenu);
    connect(m_pTrayIcon, &QSystemTrayIcon::activated, this, &CMainDlg::OnTrayNotify);
    m_pTrayIcon->show();
}

void CMainDlg::RemoveTrayIcon() {
    if (m_pTrayIcon == nullptr) {
        return;
    }
    m_pTrayIcon->hide();
    delete m_pTrayIcon;
    m_pTrayIcon = nullptr;
}

void CMainDlg::OnTrayNotify(QSystemTrayIcon::ActivationReason reason) {
    // A double-click shows the window; the right button opens the icon's menu by itself.
    if (reason == QSystemTrayIcon::DoubleClick) {
        ShowFromTray();
    }
}

void CMainDlg::ShowFromTray() {
    m_bShownOnRequest = true;
    showNormal();
    raise();
    activateWindow();
    // A reminder waiting for an answer comes to the front of the window.
    CReminderDlg::BringOpenReminderToFront();
}
