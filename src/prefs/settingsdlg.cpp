#include "prefs/settingsdlg.h"

#include <QPushButton>
#include <algorithm>
#include <string>

#include "mainwnd/messagebox.h"
#include "platform/settingsstore.h"
#include "res/strings.h"
#include "tasks/taskline.h"
#include "ui_settingsdlg.h"

namespace {

// The dialog reads the stored interval with room for 9 characters.
constexpr int kPollBuffer = 10;

}  // namespace

CSettingsDlg::CSettingsDlg(CSettingsStore& store, int nStartup, int bSound, QWidget* parent)
    : QDialog(parent),
      m_nStartup(nStartup),
      m_bSound(bSound),
      m_ui(std::make_unique<Ui::CSettingsDlg>()),
      m_store(store) {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_QuitOnClose, false);
    connect(m_ui->m_ok, &QPushButton::clicked, this, &CSettingsDlg::accept);
    connect(m_ui->m_cancel, &QPushButton::clicked, this, &CSettingsDlg::reject);
    OnInitDialog();
    setFixedSize(sizeHint());
}

CSettingsDlg::~CSettingsDlg() = default;

void CSettingsDlg::OnInitDialog() {
    if (m_nStartup == kStartupMinimized) {
        m_ui->m_radioMinimized->setChecked(true);
    } else if (m_nStartup == kStartupHidden) {
        m_ui->m_radioHidden->setChecked(true);
    } else {
        m_ui->m_radioNormal->setChecked(true);
    }
    m_ui->m_checkSound->setChecked(m_bSound == 1);

    m_ui->m_spinPoll->setRange(kMinPollSeconds, kMaxPollSeconds);
    int nPollSeconds = ParseInt(kDefaultPollText);
    if (const auto text = m_store.ReadValue(SettingKey::Poll, kPollBuffer)) {
        nPollSeconds = ParseInt(*text);
    } else {
        m_store.WriteValue(SettingKey::Poll, kDefaultPollText);
    }
    // A stored interval outside the offered range (a hand edit, or an old short interval)
    // shows as the nearest end of the range; saving then stores that.
    m_ui->m_spinPoll->setValue(std::clamp(nPollSeconds, kMinPollSeconds, kMaxPollSeconds));
}

void CSettingsDlg::accept() {
    if (m_ui->m_radioMinimized->isChecked()) {
        m_nStartup = kStartupMinimized;
    } else if (m_ui->m_radioHidden->isChecked()) {
        m_nStartup = kStartupHidden;
        CMessageBox::Information(this, QString::fromLatin1(Str::HiddenStartupNote),
                                 QString::fromLatin1(Str::AppTitle));
    } else {
        m_nStartup = kStartupNormal;
    }
    m_bSound = m_ui->m_checkSound->isChecked() ? 1 : 0;
    m_bStartAtLogin = m_ui->m_checkLogin->isChecked();

    // A number still being typed counts as entered.
    m_ui->m_spinPoll->interpretText();
    m_store.WriteValue(SettingKey::Poll, std::to_string(m_ui->m_spinPoll->value()));
    QDialog::accept();
}

void CSettingsDlg::reject() {
    m_nStartup = -1;
    m_bSound = -1;
    QDialog::reject();
}

void CSettingsDlg::SetStartAtLogin(bool bOn) {
    m_bStartAtLogin = bOn;
    m_ui->m_checkLogin->setChecked(bOn);
}

QRadioButton* CSettingsDlg::MinimizedRadio() const {
    return m_ui->m_radioMinimized;
}

QRadioButton* CSettingsDlg::HiddenRadio() const {
    return m_ui->m_radioHidden;
}

QRadioButton* CSettingsDlg::NormalRadio() const {
    return m_ui->m_radioNormal;
}

QCheckBox* CSettingsDlg::SoundCheck() const {
    return m_ui->m_checkSound;
}

QCheckBox* CSettingsDlg::LoginCheck() const {
    return m_ui->m_checkLogin;
}

QSpinBox* CSettingsDlg::PollSpin() const {
    return m_ui->m_spinPoll;
}

QPushButton* CSettingsDlg::OkButton() const {
    return m_ui->m_ok;
}

QPushButton* CSettingsDlg::CancelButton() const {
    return m_ui->m_cancel;
}
