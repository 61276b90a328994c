#pragma once

#include <QDialog>
#include <memory>

class CSettingsStore;
class QCheckBox;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace Ui {
class CSettingsDlg;
}

// The Settings dialog: start-up mode, reminder sound, polling interval and whether the program
// starts at login. OK writes the interval to the store itself; the caller reads the other
// choices back from m_nStartup, m_bSound (both -1 after Cancel) and m_bStartAtLogin.
class CSettingsDlg : public QDialog {
    Q_OBJECT

public:
    // The polling intervals the dialog offers, in seconds.
    static constexpr int kMinPollSeconds = 90;
    static constexpr int kMaxPollSeconds = 7200;

    // nStartup and bSound are the caller's current choices; the interval shown is the stored
    // one, repaired to "90" at once when it is missing.
    CSettingsDlg(CSettingsStore& store, int nStartup, int bSound, QWidget* parent = nullptr);
    ~CSettingsDlg() override;

    int m_nStartup;  // 1 Minimized, 2 Hidden, 3 Normal after OK
    int m_bSound;    // 1 or 0 after OK
    bool m_bStartAtLogin = false;

    // Ticks "Start when I log in" as the program starts now.
    void SetStartAtLogin(bool bOn);

    QRadioButton* MinimizedRadio() const;
    QRadioButton* HiddenRadio() const;
    QRadioButton* NormalRadio() const;
    QCheckBox* SoundCheck() const;
    QCheckBox* LoginCheck() const;
    QSpinBox* PollSpin() const;
    QPushButton* OkButton() const;
    QPushButton* CancelButton() const;

public slots:
    void accept() override;
    void reject() override;

private:
    void OnInitDialog();

    std::unique_ptr<Ui::CSettingsDlg> m_ui;
    CSettingsStore& m_store;
};
