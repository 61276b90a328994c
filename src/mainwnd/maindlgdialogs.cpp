// The main window's commands that open something: the Settings dialog (and the autostart
// entry it decides), the About box, the help page and the system's date and time settings.

#include <QCoreApplication>
#include <string>

#include "info/aboutdlg.h"
#include "info/desktoprequests.h"
#include "mainwnd/maindlg.h"
#include "mainwnd/messagebox.h"
#include "platform/autostart.h"
#include "platform/memorystatus.h"
#include "platform/programfolders.h"
#include "platform/settingsstore.h"
#include "prefs/settingsdlg.h"
#include "res/strings.h"

void CMainDlg::OnSettings() {
    CSettingsDlg dlg(m_settings, m_nStartupMode, m_bSound, this);
    dlg.SetStartAtLogin(IsStartAtLoginOn());
    dlg.exec();
    // Cancel leaves both at -1 and changes nothing. The sound acts from the next reminder on;
    // the start-up mode and the interval (stored by the dialog) wait for the next start.
    if (dlg.m_nStartup < 0 || dlg.m_bSound < 0) {
        return;
    }
    m_nStartupMode = dlg.m_nStartup;
    m_bSound = dlg.m_bSound;
    m_settings.WriteValue(SettingKey::Startup, std::to_string(m_nStartupMode));
    m_settings.WriteValue(SettingKey::Sound, std::to_string(m_bSound));
    // The autostart entry starts this very program, which then starts in the chosen mode.
    if (const auto error =
            SetStartAtLogin(dlg.m_bStartAtLogin, QCoreApplication::applicationFilePath())) {
        CMessageBox::Error(this, *error, QString::fromLatin1(Str::Error));
    }
}

void CMainDlg::OnAbout() {
    CAboutDlg dlg(GetMemoryStatus(), this);
    dlg.exec();
}

void CMainDlg::OnHelpIndex() {
    const QString moduleDir = FromCorePath(m_strModuleDir);
    if (const auto error = OpenHelpIndex(moduleDir)) {
        CMessageBox::Error(this, *error, QString::fromLatin1(Str::Error));
    }
}

void CMainDlg::OnSystemCalendar() {
    if (const auto error = OpenSystemCalendar()) {
        CMessageBox::Error(this, *error, QString::fromLatin1(Str::Error));
    }
}
