// Where the keyboard focus is, seen in the pixels of a real X server: every control a user can
// reach with Tab, in every dialog and in the main window, shows the focus with a mark that
// differs at least 3:1 from what the same pixels show without the focus (the WCAG rule for
// focus indicators), over at least the length of the control's outline.
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QScreen>
#include <QtTest>
#include <algorithm>
#include <cmath>

#include "desktopfixture.h"
#include "info/aboutdlg.h"
#include "platform/desktopnotifier.h"
#include "prefs/settingsdlg.h"

namespace {

double Luminance(QRgb colour) {
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(colour)) + 0.7152 * channel(qGreen(colour)) +
           0.0722 * channel(qBlue(colour));
}

double Contrast(QRgb a, QRgb b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

class CSilentNotifier final : public IDesktopNotifier {
public:
    void Notify(const QString& /*summary*/, const QString& /*body*/) override {}
};

}  // namespace

class TestFocusVisible : public CDesktopFixture {
    Q_OBJECT

private:
    QImage Grab(QWidget& window) {
        // Painted now and sent to the X server, which answers the grab after it: the picture
        // shows the focus as it now is, however busy the machine.
        QCoreApplication::processEvents();
        window.repaint();
        return window.screen()
            ->grabWindow(window.winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    // Every control of the window that Tab reaches shows the focus plainly.
    void CheckEveryControl(QWidget& window) {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(Xdotool({"windowactivate", "--sync", QString::number(window.winId())}));
        QTRY_VERIFY(window.isActiveWindow());
        // The keyboard has been used in the window, so the style shows its own marks as well.
        QVERIFY(Xdotool({"key", "Tab"}));
        QTest::qWait(100);
        const qreal scale = window.devicePixelRatioF();
        int nChecked = 0;
        for (QWidget* control : window.findChildren<QWidget*>()) {
            if (!control->isVisibleTo(&window) || !control->isEnabled() ||
                (control->focusPolicy() & Qt::TabFocus) == 0 || control->focusProxy() != nullptr) {
                continue;
            }
            if (QWidget* focused = QApplication::focusWidget()) {
                focused->clearFocus();
            }
            const QImage without = Grab(window);
            control->setFocus(Qt::TabFocusReason);
            QTRY_COMPARE(QApplication::focusWidget(), control);

            const QRect rect(control->mapTo(&window, QPoint(0, 0)), control->size());
            const QRect band = QRect(rect.topLeft() * scale, rect.size() * scale)
                                   .adjusted(-4, -4, 4, 4)
                                   .intersected(without.rect());
            const int outline = static_cast<int>(2 * (rect.width() + rect.height()) * scale);
            // Looked at again until the X server has drawn the focus, for a few seconds at most:
            // a busy machine may take longer than any fixed wait.
            int nMarked = 0;
            QDeadlineTimer deadline(5000);
            do {
                const QImage with = Grab(window);
                nMarked = 0;
                for (int y = band.top(); y <= band.bottom(); ++y) {
                    for (int x = band.left(); x <= band.right(); ++x) {
                        if (Contrast(with.pixel(x, y), without.pixel(x, y)) >= 3.0) {
                            ++nMarked;
                        }
                    }
                }
            } while (nMarked < outline && !deadline.hasExpired());
            QVERIFY2(nMarked >= outline,
                     qPrintable(QString("%1 %2 in %3: %4 pixels marked 3:1, %5 needed")
                                    .arg(control->metaObject()->className(), control->objectName(),
                                         window.windowTitle())
                                    .arg(nMarked)
                                    .arg(outline)));
            ++nChecked;
        }
        QVERIFY(nChecked > 0);
        window.hide();
    }

private slots:
    void initTestCase() {
        InitOnDesktop();
        WriteTasks({"#12/15/2030{+}1{+}0{+}37{+}Choir practice{+}Bring the scores{+}19"});
        Create();
        m_pProgram->Start();  // the program shows the focus in all of its windows
    }
    void cleanupTestCase() { CleanupOnDesktop(); }

    void taskEditor() {
        CTaskEditDlg editor;
        editor.SetTask(ParseTaskLine("#12/15/2030{+}1{+}0{+}37{+}Choir practice{+}(none){+}19"));
        CheckEveryControl(editor);
    }

    void reminder() {
        CSilentNotifier notifier;
        CReminderDlg reminder(nullptr, &notifier);
        reminder.SetRequest({.title = "Choir practice",
                             .year = 2030,
                             .month = 12,
                             .day = 15,
                             .hour = 19,
                             .caption = "Now Due!"},
                            0);
        CheckEveryControl(reminder);
    }

    void settings() {
        CSettingsDlg settings(*m_pStore, kStartupNormal, 1);
        CheckEveryControl(settings);
    }

    void about() {
        CAboutDlg about({134217728, 67108864, 50});
        CheckEveryControl(about);
    }

    void mainWindow() { CheckEveryControl(Window()); }
};

QTEST_MAIN(TestFocusVisible)
#include "tst_focusvisible.moc"
