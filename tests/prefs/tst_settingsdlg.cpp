// The Settings dialog over a real settings file.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "mainwnd/messagebox.h"
#include "platform/settingsstore.h"
#include "prefs/settingsdlg.h"

class TestSettingsDlg : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_pDir;
    std::unique_ptr<QSettings> m_pIni;
    std::unique_ptr<CSettingsStore> m_pStore;

    std::optional<std::string> Setting(std::string_view key) const {
        return m_pStore->ReadValue(key, 512);
    }

private slots:
    void init() {
        m_pDir = std::make_unique<QTemporaryDir>();
        m_pIni =
            std::make_unique<QSettings>(m_pDir->filePath("settings.ini"), QSettings::IniFormat);
        m_pStore = std::make_unique<CSettingsStore>(*m_pIni);
        CMessageBox::ResetRecord();
    }
    void cleanup() {
        m_pStore.reset();
        m_pIni.reset();
        m_pDir.reset();
    }

    void cleanStoreAndCancel() {
        CSettingsDlg dlg(*m_pStore, kStartupDefault, 1);
        QCOMPARE(dlg.windowTitle(), QString("Settings "));
        QVERIFY(dlg.NormalRadio()->isChecked());
        QVERIFY(dlg.SoundCheck()->isChecked());
        QCOMPARE(dlg.PollSpin()->value(), 90);
        QCOMPARE(dlg.PollSpin()->minimum(), 90);
        QCOMPARE(dlg.PollSpin()->maximum(), 7200);
        // The missing interval is repaired as the dialog opens, whatever the user does then.
        QCOMPARE(Setting("poll"), std::optional<std::string>("90"));

        dlg.HiddenRadio()->setChecked(true);
        dlg.PollSpin()->setValue(500);
        dlg.CancelButton()->click();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(dlg.m_nStartup, -1);
        QCOMPARE(dlg.m_bSound, -1);
        QCOMPARE(Setting("poll"), std::optional<std::string>("90"));
        QVERIFY(!Setting("startup"));
        QVERIFY(!Setting("sound"));
        QCOMPARE(CMessageBox::Count(), 0);
    }

    void choicesOnOpening_data() {
        QTest::addColumn<int>("startup");
        QTest::addColumn<int>("sound");
        QTest::addColumn<int>("radio");  // 0 Minimized, 1 Hidden, 2 Normal
        QTest::newRow("minimised, sound") << 1 << 1 << 0;
        QTest::newRow("hidden, silent") << 2 << 0 << 1;
        QTest::newRow("normal") << 3 << 1 << 2;
        QTest::newRow("0 shows Normal, sound 2 is off") << 0 << 2 << 2;
    }
    void choicesOnOpening() {
        QFETCH(int, startup);
        QFETCH(int, sound);
        QFETCH(int, radio);
        const CSettingsDlg dlg(*m_pStore, startup, sound);
        const QRadioButton* radios[] = {dlg.MinimizedRadio(), dlg.HiddenRadio(), dlg.NormalRadio()};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(radios[i]->isChecked(), i == radio);
        }
        QCOMPARE(dlg.SoundCheck()->isChecked(), sound == 1);
    }

    void storedIntervalShowsInRange_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QString>("afterwards");
        QTest::newRow("inside") << "300" << 300 << "300";
        QTest::newRow("below, from an old short interval") << "5" << 90 << "5";
        QTest::newRow("negative") << "-1" << 90 << "-1";
        QTest::newRow("letters") << "abc" << 90 << "abc";
        // A 16-bit control would have shown 65626 as 90.
        QTest::newRow("wraps past 65535") << "65626" << 7200 << "65626";
        QTest::newRow("nine digits") << "123456789" << 7200 << "123456789";
        QTest::newRow("ten characters count as missing") << "1234567890" << 90 << "90";
    }
    void storedIntervalShowsInRange() {
        QFETCH(QString, stored);
        QFETCH(int, shown);
        QFETCH(QString, afterwards);
        m_pStore->WriteValue("poll", stored.toStdString());
        const CSettingsDlg dlg(*m_pStore, 3, 1);
        QCOMPARE(dlg.PollSpin()->value(), shown);
        QCOMPARE(QString::fromStdString(Setting("poll").value_or("")), afterwards);
    }

    void okReturnsTheChoicesAndWritesTheInterval() {
        m_pStore->WriteValue("poll", "70000");
        CSettingsDlg dlg(*m_pStore, 3, 1);
        dlg.MinimizedRadio()->setChecked(true);
        dlg.SoundCheck()->setChecked(false);
        // Typed and not yet confirmed, the number still counts.
        QLineEdit* edit = dlg.PollSpin()->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClicks(edit, "250");
        dlg.OkButton()->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.m_nStartup, 1);
        QCOMPARE(dlg.m_bSound, 0);
        QCOMPARE(Setting("poll"), std::optional<std::string>("250"));
        // The caller stores the other two.
        QVERIFY(!Setting("startup"));
        QCOMPARE(CMessageBox::Count(), 0);

        // Hidden is explained before the dialog closes.
        CSettingsDlg hidden(*m_pStore, 1, 0);
        hidden.HiddenRadio()->setChecked(true);
        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        hidden.OkButton()->click();
        QCOMPARE(hidden.m_nStartup, 2);
        QCOMPARE(CMessageBox::Count(), 1);
        QCOMPARE(Setting("poll"), std::optional<std::string>("250"));
    }
};

QTEST_MAIN(TestSettingsDlg)
#include "tst_settingsdlg.moc"
