#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSoundEffect>
#include <QTimer>
#include <QtEndian>
#include <QtTest>
#include <cstdlib>
#include <functional>

#include "platform/alertplayer.h"
#include "platform/desktopnotifier.h"
#include "reminder/reminderdlg.h"
#include "tasks/displaytext.h"

namespace {

// Counts the alerts the dialog starts.
class CCountingPlayer final : public IAlertPlayer {
public:
    void Play() override { ++m_nPlays; }
    int m_nPlays = 0;
};

// Keeps the desktop notices the dialog sends.
class CRecordingNotifier final : public IDesktopNotifier {
public:
    void Notify(const QString& summary, const QString& body) override {
        m_notices << summary + QStringLiteral(" | ") + body;
    }
    QStringList m_notices;
};

enum class Action {
    Enter,
    KeypadEnter,
    Escape,
    ClickDetails,
    ClickRemindTomorrow,
    ClickOkay,
    CloseWindow,
};

// What exec() returns when a test failed to close the dialog; it stops a hang.
constexpr int kNotAnswered = 77;

QWidget* FocusOf(CReminderDlg& dlg) {
    QWidget* pFocus = dlg.focusWidget();
    return pFocus != nullptr ? pFocus : &dlg;
}

void Answer(CReminderDlg& dlg, Action action) {
    switch (action) {
        case Action::Enter:
            QTest::keyClick(FocusOf(dlg), Qt::Key_Return);
            break;
        case Action::KeypadEnter:
            QTest::keyClick(FocusOf(dlg), Qt::Key_Enter, Qt::KeypadModifier);
            break;
        case Action::Escape:
            QTest::keyClick(FocusOf(dlg), Qt::Key_Escape);
            break;
        case Action::ClickDetails:
            QTest::mouseClick(dlg.DetailsButton(), Qt::LeftButton);
            break;
        case Action::ClickRemindTomorrow:
            QTest::mouseClick(dlg.RemindTomorrowButton(), Qt::LeftButton);
            break;
        case Action::ClickOkay:
            QTest::mouseClick(dlg.OkayButton(), Qt::LeftButton);
            break;
        case Action::CloseWindow:
            dlg.close();
            break;
    }
}

// Runs the modal loop the way the poll does; once the dialog is up, whileOpen looks at it and
// answers it as the user would. The running dialog is found as the active modal widget.
int RunModal(CReminderDlg& dlg, const std::function<void(CReminderDlg&)>& whileOpen) {
    QTimer::singleShot(0, &dlg, [&dlg, &whileOpen] {
        if (QApplication::activeModalWidget() == &dlg) {
            whileOpen(dlg);
        }
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &dlg, [&dlg] { dlg.done(kNotAnswered); });
    guard.start(10000);
    return dlg.exec();
}

int RunModal(CReminderDlg& dlg, Action action) {
    return RunModal(dlg, [action](CReminderDlg& open) { Answer(open, action); });
}

ReminderRequest DentistRequest() {
    return ReminderRequest{.nRecord = 3,
                           .title = "Dentist",
                           .year = 1999,
                           .month = 7,
                           .day = 4,
                           .advanceDays = 2,
                           .hour = 14,
                           .status = 0,
                           .caption = "Now Due!"};
}

// A title as long as the task file allows.
constexpr char kLongTitle[] =
    "Renew the passport, book the ferry to the island and call the plumber!!! Really.";
static_assert(sizeof(kLongTitle) - 1 == 80);
constexpr char kLongAddress[] =
    "https://tickets.example.org/ferry/booking?from=harbour&to=islands&day=2024-10-09";
static_assert(sizeof(kLongAddress) - 1 == 80);

quint16 U16(const QByteArray& bytes, int at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 U32(const QByteArray& bytes, int at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

}  // namespace

Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(ReminderAnswer)

class TestReminderDlg : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void answers_data();
    void answers();
    void remindTomorrowDoesNotStick();
    void texts_data();
    void texts();
    void soundOnlyForExactlyOne_data();
    void soundOnlyForExactlyOne();
    void windowComesUpWithoutCloseBox();
    void answeringWhileHiddenKeepsRunning_data();
    void answeringWhileHiddenKeepsRunning();
    void looksWhiteOnDarkBlue();
    void askReminderFillsAndAnswers_data();
    void askReminderFillsAndAnswers();
    void alertChimeComesFromTheSoundModule();
    void strayInputInTheFirstMomentIsIgnored_data();
    void strayInputInTheFirstMomentIsIgnored();
    void minimisedReminderComesBack();
    void dialogAndNoticeNameTheTasksOwnDateAndHour();
    void overlongTitleIsShownInPart();
};

void TestReminderDlg::initTestCase() {
    // Most tests answer at once, as the user could once the input guard is over.
    CReminderDlg::SetInputGuardMs(0);
}

void TestReminderDlg::answers_data() {
    QTest::addColumn<Action>("action");
    QTest::addColumn<int>("staleFlag");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("remindTomorrow");
    QTest::addColumn<ReminderAnswer>("answer");

    // A flag left over from before opening must not leak into the answer.
    QTest::newRow("Enter") << Action::Enter << 1 << int(QDialog::Accepted) << 0
                           << ReminderAnswer::Details;
    QTest::newRow("keypad Enter") << Action::KeypadEnter << 1 << int(QDialog::Accepted) << 0
                                  << ReminderAnswer::Details;
    QTest::newRow("Esc") << Action::Escape << 1 << int(QDialog::Rejected) << 0
                         << ReminderAnswer::Okay;
    QTest::newRow("Details...") << Action::ClickDetails << 1 << int(QDialog::Accepted) << 0
                                << ReminderAnswer::Details;
    QTest::newRow("Remind me tomorrow")
        << Action::ClickRemindTomorrow << 0 << int(QDialog::Rejected) << 1
        << ReminderAnswer::RemindTomorrow;
    QTest::newRow("Okay") << Action::ClickOkay << 1 << int(QDialog::Rejected) << 0
                          << ReminderAnswer::Okay;
    // Some window managers draw a close box anyway; closing then acknowledges, as Esc does.
    QTest::newRow("closed by the window manager")
        << Action::CloseWindow << 1 << int(QDialog::Rejected) << 0 << ReminderAnswer::Okay;
}

void TestReminderDlg::answers() {
    QFETCH(Action, action);
    QFETCH(int, staleFlag);
    QFETCH(int, result);
    QFETCH(int, remindTomorrow);
    QFETCH(ReminderAnswer, answer);

    CCountingPlayer player;
    CReminderDlg dlg(&player);
    dlg.m_szTitle = QStringLiteral("Dentist");
    dlg.m_bRemindTomorrow = staleFlag;
    bool bFocusOnDetails = false;
    const int nResult = RunModal(dlg, [&](CReminderDlg& open) {
        bFocusOnDetails = open.focusWidget() == open.DetailsButton();
        Answer(open, action);
    });

    QVERIFY(bFocusOnDetails);
    QCOMPARE(nResult, result);
    QCOMPARE(dlg.m_bRemindTomorrow, remindTomorrow);
    QCOMPARE(dlg.GetAnswer(nResult), answer);
    QVERIFY(!dlg.isVisible());
}

void TestReminderDlg::remindTomorrowDoesNotStick() {
    CCountingPlayer player;
    {
        CReminderDlg first(&player);
        QCOMPARE(RunModal(first, Action::ClickRemindTomorrow), int(QDialog::Rejected));
        QCOMPARE(first.m_bRemindTomorrow, 1);
    }
    CReminderDlg fresh(&player);
    QCOMPARE(RunModal(fresh, Action::ClickOkay), int(QDialog::Rejected));
    QCOMPARE(fresh.m_bRemindTomorrow, 0);

    // The same object opened again starts from "not tomorrow" as well.
    CReminderDlg reused(&player);
    QCOMPARE(RunModal(reused, Action::ClickRemindTomorrow), int(QDialog::Rejected));
    QCOMPARE(reused.GetAnswer(QDialog::Rejected), ReminderAnswer::RemindTomorrow);
    const int nResult = RunModal(reused, Action::Escape);
    QCOMPARE(reused.GetAnswer(nResult), ReminderAnswer::Okay);

    // A run that ended some other way writes nothing: the dialog hidden, or its loop ended
    // by the program's exit while it waited, gives the result of a rejection but no answer.
    QCOMPARE(reused.GetAnswer(kNotAnswered), ReminderAnswer::None);
    const int nHidden = RunModal(reused, [](CReminderDlg& open) { open.hide(); });
    QCOMPARE(nHidden, int(QDialog::Rejected));
    QCOMPARE(reused.GetAnswer(nHidden), ReminderAnswer::None);
}

void TestReminderDlg::texts_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("date");

    QTest::newRow("no leading zeros") << QStringLiteral("Dentist") << QStringLiteral("Now Due!")
                                      << 1999 << 7 << 4 << QStringLiteral("7/4/1999");
    QTest::newRow("last day of 2037")
        << QStringLiteral("New Year's Eve") << QStringLiteral("Missed Appointments!") << 2037 << 12
        << 31 << QStringLiteral("12/31/2037");
    QTest::newRow("past 2038") << QStringLiteral("Pension") << QStringLiteral("Advance Notice")
                               << 2040 << 2 << 29 << QStringLiteral("2/29/2040");
    QTest::newRow("80 characters with blanks")
        << QString::fromLatin1(kLongTitle) << QStringLiteral("Now Due!") << 2024 << 10 << 9
        << QStringLiteral("10/9/2024");
    QTest::newRow("80 characters in one word")
        << QString::fromLatin1(kLongAddress) << QStringLiteral("Now Due!") << 2024 << 1 << 15
        << QStringLiteral("1/15/2024");
    QTest::newRow("long unbreakable word")
        << QString(40, QLatin1Char('W')) << QStringLiteral("Now Due!") << 2024 << 1 << 15
        << QStringLiteral("1/15/2024");
    // Titles are the user's text, never markup.
    QTest::newRow("markup-like title")
        << QStringLiteral("<b>Tax</b> & <a href='x'>fees</a>") << QStringLiteral("Now Due!") << 2001
        << 1 << 1 << QStringLiteral("1/1/2001");
}

void TestReminderDlg::texts() {
    QFETCH(QString, title);
    QFETCH(QString, caption);
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(QString, date);

    CCountingPlayer player;
    CReminderDlg dlg(&player);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Reminder!"));
    dlg.m_szTitle = title;
    dlg.m_szCaption = caption;
    dlg.m_nYear = year;
    dlg.m_nMonth = month;
    dlg.m_nDay = day;

    QString shownCaption;
    QString shownTitle;
    QString shownDate;
    bool bTitleFits = false;
    const int nResult = RunModal(dlg, [&](CReminderDlg& open) {
        shownCaption = open.windowTitle();
        shownTitle = open.TitleStatic()->text();
        shownDate = open.DateStatic()->text();
        // Wrapped as the label wraps plain text, the title needs no more room than it has.
        const QLabel* pTitle = open.TitleStatic();
        const QRect needed = pTitle->fontMetrics().boundingRect(
            QRect(0, 0, pTitle->width(), 10000), Qt::AlignLeft | Qt::TextWordWrap, title);
        bTitleFits = needed.width() <= pTitle->width() && needed.height() <= pTitle->height() &&
                     open.rect().contains(pTitle->geometry());
        Answer(open, Action::ClickOkay);
    });

    QCOMPARE(nResult, int(QDialog::Rejected));
    QCOMPARE(shownCaption, caption);
    QCOMPARE(shownTitle, title);
    QCOMPARE(shownDate, date);
    QVERIFY2(bTitleFits, "the title's label is too small to show the whole title");
    QCOMPARE(dlg.TitleStatic()->textFormat(), Qt::PlainText);
    QCOMPARE(dlg.DateStatic()->textFormat(), Qt::PlainText);
}

void TestReminderDlg::soundOnlyForExactlyOne_data() {
    QTest::addColumn<int>("playSound");
    QTest::addColumn<int>("plays");

    QTest::newRow("off") << 0 << 0;
    QTest::newRow("on") << 1 << 1;
    QTest::newRow("2 is not on") << 2 << 0;
    QTest::newRow("-1 is not on") << -1 << 0;
}

void TestReminderDlg::soundOnlyForExactlyOne() {
    QFETCH(int, playSound);
    QFETCH(int, plays);

    CCountingPlayer player;
    CReminderDlg dlg(&player);
    dlg.m_bPlaySound = playSound;
    QCOMPARE(player.m_nPlays, 0);  // filling the dialog is not opening it

    int nPlaysWhileOpen = -1;
    RunModal(dlg, [&](CReminderDlg& open) {
        nPlaysWhileOpen = player.m_nPlays;
        Answer(open, Action::ClickOkay);
    });

    QCOMPARE(nPlaysWhileOpen, plays);
    QCOMPARE(player.m_nPlays, plays);
}

void TestReminderDlg::windowComesUpWithoutCloseBox() {
    CCountingPlayer player;
    CReminderDlg dlg(&player);
    const Qt::WindowFlags flags = dlg.windowFlags();
    QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(!flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(dlg.parentWidget(), nullptr);

    // Another window of the program is active, as the main window may be; the reminder still
    // takes the front.
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));

    bool bActive = false;
    bool bModal = false;
    bool bRowAtBottom = false;
    bool bFixedFrame = false;
    RunModal(dlg, [&](CReminderDlg& open) {
        QTRY_VERIFY(open.isActiveWindow());
        bActive = true;
        bModal = open.isModal() && QApplication::activeModalWidget() == &open;
        bFixedFrame = open.minimumSize() == open.maximumSize() && open.size() == open.minimumSize();
        const QRect details = open.DetailsButton()->geometry();
        const QRect tomorrow = open.RemindTomorrowButton()->geometry();
        const QRect okay = open.OkayButton()->geometry();
        bRowAtBottom = details.top() == tomorrow.top() && tomorrow.top() == okay.top() &&
                       details.right() < tomorrow.left() && tomorrow.right() < okay.left() &&
                       details.top() > open.DateStatic()->geometry().bottom() &&
                       open.DateStatic()->geometry().top() > open.TitleStatic()->geometry().top() &&
                       open.height() - details.bottom() < 30;
        Answer(open, Action::ClickOkay);
    });
    QVERIFY(bActive);
    QVERIFY(bModal);
    QVERIFY2(bFixedFrame, "the reminder's frame can be resized");
    QVERIFY2(bRowAtBottom, "buttons are not one row along the bottom in the expected order");
    QVERIFY(dlg.DetailsButton()->isDefault());
    QVERIFY(!dlg.RemindTomorrowButton()->isDefault());
    QVERIFY(!dlg.OkayButton()->isDefault());
}

void TestReminderDlg::answeringWhileHiddenKeepsRunning_data() {
    QTest::addColumn<Action>("action");

    QTest::newRow("Okay") << Action::ClickOkay;
    QTest::newRow("Details...") << Action::Enter;
    QTest::newRow("Remind me tomorrow") << Action::ClickRemindTomorrow;
    QTest::newRow("closed by the window manager") << Action::CloseWindow;
}

void TestReminderDlg::answeringWhileHiddenKeepsRunning() {
    QFETCH(Action, action);

    // The main window waits hidden in the tray; the reminder is the only window on screen.
    // Answering it must not count as closing the program's last window, which would end the
    // program. Qt applies that rule only inside the application's own event loop.
    QWidget mainWindow;
    mainWindow.show();
    mainWindow.hide();
    QVERIFY(QGuiApplication::quitOnLastWindowClosed());
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);

    QObject context;
    int nResult = -1;
    QTimer::singleShot(0, &context, [&] {
        CCountingPlayer player;
        CReminderDlg dlg(&player);
        nResult = RunModal(dlg, action);
        QMetaObject::invokeMethod(
            &context, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    });
    QCoreApplication::exec();

    QVERIFY(nResult == QDialog::Accepted || nResult == QDialog::Rejected);
    QCOMPARE(lastClosed.count(), 0);
}

void TestReminderDlg::looksWhiteOnDarkBlue() {
    CCountingPlayer player;
    CReminderDlg dlg(&player);
    dlg.m_szTitle = QStringLiteral("Dentist");
    dlg.m_nYear = 1999;
    dlg.m_nMonth = 7;
    dlg.m_nDay = 4;

    QImage whole;
    QImage title;
    RunModal(dlg, [&](CReminderDlg& open) {
        whole = open.grab().toImage();
        title = open.TitleStatic()->grab().toImage();
        Answer(open, Action::ClickOkay);
    });

    const QColor ground(0, 64, 128);
    QCOMPARE(whole.pixelColor(2, 2), ground);
    QCOMPARE(whole.pixelColor(whole.width() - 3, whole.height() / 2), ground);
    bool bWhiteText = false;
    for (int y = 0; y < title.height() && !bWhiteText; ++y) {
        for (int x = 0; x < title.width() && !bWhiteText; ++x) {
            bWhiteText = title.pixelColor(x, y) == QColor(Qt::white);
        }
    }
    QVERIFY2(bWhiteText, "the title is not drawn in white");

    // The buttons are drawn in the system's colours, not the dialog's.
    for (QPushButton* pButton :
         {dlg.DetailsButton(), dlg.RemindTomorrowButton(), dlg.OkayButton()}) {
        QCOMPARE(pButton->palette().color(QPalette::Button),
                 QApplication::palette(pButton).color(QPalette::Button));
        QCOMPARE(pButton->palette().color(QPalette::Window),
                 QApplication::palette(pButton).color(QPalette::Window));
    }
}

void TestReminderDlg::askReminderFillsAndAnswers_data() {
    QTest::addColumn<Action>("action");
    QTest::addColumn<ReminderAnswer>("answer");

    QTest::newRow("Details...") << Action::Enter << ReminderAnswer::Details;
    QTest::newRow("Okay") << Action::Escape << ReminderAnswer::Okay;
    QTest::newRow("Remind me tomorrow")
        << Action::ClickRemindTomorrow << ReminderAnswer::RemindTomorrow;
}

void TestReminderDlg::askReminderFillsAndAnswers() {
    QFETCH(Action, action);
    QFETCH(ReminderAnswer, answer);

    CCountingPlayer player;
    ReminderRequest request = DentistRequest();
    request.title =
        "Zahnarzt \xc3\xbc"
        "ber Mittag";  // UTF-8 from the task file
    QStringList seen;
    QTimer::singleShot(0, [&] {
        auto* pOpen = qobject_cast<CReminderDlg*>(QApplication::activeModalWidget());
        if (pOpen == nullptr) {
            return;
        }
        seen << pOpen->windowTitle() << pOpen->TitleStatic()->text() << pOpen->DateStatic()->text();
        seen << QString::number(pOpen->m_nHour);
        Answer(*pOpen, action);
    });
    CRecordingNotifier notifier;
    const ReminderAnswer given = CReminderDlg::AskReminder(request, 1, &player, &notifier);

    QCOMPARE(given, answer);
    QCOMPARE(notifier.m_notices.size(), 1);
    QVERIFY(notifier.m_notices[0].startsWith(QString::fromUtf8("Zahnarzt \u00fcber Mittag | ")));
    QCOMPARE(seen, QStringList({"Now Due!", QString::fromUtf8("Zahnarzt \u00fcber Mittag"),
                                "7/4/1999 2 PM", "14"}));
    QCOMPARE(player.m_nPlays, 1);
}

void TestReminderDlg::alertChimeComesFromTheSoundModule() {
    // The program's player is the module's chime, found beside the program, not the beep.
    auto* pPlayer = dynamic_cast<QObject*>(&SharedAlertPlayer());
    QVERIFY(pPlayer != nullptr);
    QCOMPARE(pPlayer->metaObject()->className(), "CAlertSound");
    QCOMPARE(pPlayer->parent(), QCoreApplication::instance());
    QCOMPARE(&SharedAlertPlayer(), &SharedAlertPlayer());
    auto* pEffect = pPlayer->findChild<QSoundEffect*>();
    QVERIFY(pEffect != nullptr);
    QCOMPARE(pEffect->source(), QUrl(QStringLiteral("qrc:/sounds/alert.wav")));

    // Loading the module brought its resources with it.
    QFile file(QStringLiteral(":/sounds/alert.wav"));
    QVERIFY2(file.open(QIODevice::ReadOnly), "the chime is missing from the resources");
    const QByteArray wav = file.readAll();
    QVERIFY(wav.size() > 44);
    QCOMPARE(wav.mid(0, 4), QByteArray("RIFF"));
    QCOMPARE(U32(wav, 4), quint32(wav.size() - 8));
    QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
    QCOMPARE(U32(wav, 16), quint32(16));
    QCOMPARE(U16(wav, 20), quint16(1));  // PCM
    QCOMPARE(U16(wav, 22), quint16(2));  // channels
    QCOMPARE(U32(wav, 24), quint32(11000));
    QCOMPARE(U32(wav, 28), quint32(11000 * 2 * 2));
    QCOMPARE(U16(wav, 32), quint16(4));
    QCOMPARE(U16(wav, 34), quint16(16));
    QCOMPARE(wav.mid(36, 4), QByteArray("data"));
    const quint32 nDataBytes = U32(wav, 40);
    QCOMPARE(nDataBytes, quint32(wav.size() - 44));
    QVERIFY2(nDataBytes >= 40000 && nDataBytes <= 44000, "the chime is not about 42,000 bytes");

    // Audible but not clipped, and starting and ending at rest so it does not click.
    const int nSamples = int(nDataBytes / 2);
    int nPeak = 0;
    for (int i = 0; i < nSamples; ++i) {
        nPeak = std::max(nPeak, std::abs(qint16(U16(wav, 44 + 2 * i))));
    }
    QVERIFY(nPeak > 8000 && nPeak < 32000);
    for (int i : {0, 1, nSamples - 2, nSamples - 1}) {
        QVERIFY(std::abs(qint16(U16(wav, 44 + 2 * i))) < 256);
    }

    // The effect decodes it; no audio device is needed for that.
    QTRY_VERIFY_WITH_TIMEOUT(
        pEffect->status() != QSoundEffect::Loading && pEffect->status() != QSoundEffect::Null,
        10000);
    QCOMPARE(pEffect->status(), QSoundEffect::Ready);
    SharedAlertPlayer().Play();  // returns at once, with or without a device
}

void TestReminderDlg::strayInputInTheFirstMomentIsIgnored_data() {
    QTest::addColumn<Action>("action");
    QTest::addColumn<int>("result");

    QTest::newRow("Enter") << Action::Enter << int(QDialog::Accepted);
    QTest::newRow("Esc") << Action::Escape << int(QDialog::Rejected);
    QTest::newRow("click on Okay") << Action::ClickOkay << int(QDialog::Rejected);
    QTest::newRow("click on Remind me tomorrow")
        << Action::ClickRemindTomorrow << int(QDialog::Rejected);
    QTest::newRow("closed by the window manager") << Action::CloseWindow << int(QDialog::Rejected);
}

void TestReminderDlg::strayInputInTheFirstMomentIsIgnored() {
    QFETCH(Action, action);
    QFETCH(int, result);

    CReminderDlg::SetInputGuardMs(300);
    CCountingPlayer player;
    CRecordingNotifier notifier;
    CReminderDlg dlg(&player, &notifier);
    bool bGuarded = false;
    bool bStillOpen = false;
    bool bAnsweredLater = false;
    const int nResult = RunModal(dlg, [&](CReminderDlg& open) {
        // Typed into another program just as the reminder came up: every key and click of
        // the first moment goes nowhere, and the dialog still stays in front.
        bGuarded = open.IsInputGuarded();
        for (const Action stray :
             {Action::Enter, Action::Escape, Action::ClickDetails, Action::ClickOkay,
              Action::ClickRemindTomorrow, Action::CloseWindow}) {
            Answer(open, stray);
        }
        bStillOpen = open.isVisible() && QApplication::activeModalWidget() == &open;
        QTRY_VERIFY(!open.IsInputGuarded());
        bAnsweredLater = true;
        Answer(open, action);
    });
    CReminderDlg::SetInputGuardMs(0);

    QVERIFY(bGuarded);
    QVERIFY(bStillOpen);
    QVERIFY(bAnsweredLater);
    QCOMPARE(nResult, result);
    QCOMPARE(dlg.m_bRemindTomorrow, action == Action::ClickRemindTomorrow ? 1 : 0);
    QCOMPARE(player.m_nPlays, 0);
}

void TestReminderDlg::minimisedReminderComesBack() {
    CReminderDlg::SetInputGuardMs(200);
    CCountingPlayer player;
    CRecordingNotifier notifier;
    CReminderDlg dlg(&player, &notifier);
    dlg.m_bPlaySound = 1;
    bool bBack = false;
    bool bGuardedAgain = false;
    const int nResult = RunModal(dlg, [&](CReminderDlg& open) {
        QTRY_VERIFY(!open.IsInputGuarded());
        open.showMinimized();
        QTRY_VERIFY(!open.isMinimized() && open.isVisible());
        bBack = true;
        // Back on screen it ignores stray input for a moment again.
        bGuardedAgain = open.IsInputGuarded();
        QTRY_VERIFY(!open.IsInputGuarded());
        Answer(open, Action::ClickOkay);
    });
    CReminderDlg::SetInputGuardMs(0);

    QVERIFY(bBack);
    QVERIFY(bGuardedAgain);
    QCOMPARE(nResult, int(QDialog::Rejected));
    // Coming back is not a new reminder: no second chime, no second notice.
    QCOMPARE(player.m_nPlays, 1);
    QCOMPARE(notifier.m_notices.size(), 1);
}

void TestReminderDlg::dialogAndNoticeNameTheTasksOwnDateAndHour() {
    // The task's own date and its hour as the editor shows it, in the dialog and in the notice
    // alike, whatever the zone: hour 24, the midnight that ends the day, stays on that day.
    struct Case {
        int year, month, day, hour;
        QString due;
    };
    const Case cases[] = {{1999, 7, 4, 14, "7/4/1999 2 PM"},
                          {2027, 2, 27, 24, "2/27/2027 12 AM"},
                          {2027, 2, 28, 12, "2/28/2027 12 PM"},
                          {2027, 3, 14, 2, "3/14/2027 2 AM"},  // a night the clocks go forward
                          {2030, 1, 1, 0, "1/1/2030"}};        // an hour the editor never stores
    const QByteArray oldZone = qgetenv("TZ");
    for (const char* zone : {"UTC", "America/New_York"}) {
        qputenv("TZ", zone);
        tzset();
        for (const Case& c : cases) {
            CCountingPlayer player;
            CRecordingNotifier notifier;
            ReminderRequest request = DentistRequest();
            request.year = c.year;
            request.month = c.month;
            request.day = c.day;
            request.hour = c.hour;
            request.caption = "Missed Appointments!";
            QString shownDate;
            QTimer::singleShot(0, [&shownDate] {
                if (auto* pOpen = qobject_cast<CReminderDlg*>(QApplication::activeModalWidget())) {
                    shownDate = pOpen->DateStatic()->text();
                    pOpen->reject();
                }
            });
            CReminderDlg::AskReminder(request, 0, &player, &notifier);
            QCOMPARE(shownDate, c.due);
            QCOMPARE(notifier.m_notices, QStringList({"Dentist | Missed Appointments!\n" + c.due}));
        }
    }
    qputenv("TZ", oldZone);
    tzset();
}

void TestReminderDlg::overlongTitleIsShownInPart() {
    CCountingPlayer player;
    CRecordingNotifier notifier;
    ReminderRequest request = DentistRequest();
    request.title = std::string(size_t{50} << 20, 'x');
    CReminderDlg dlg(&player, &notifier);
    dlg.SetRequest(request, 0);
    QCOMPARE(dlg.m_szTitle, QString::fromStdString(DisplayText(request.title)));
    QVERIFY(dlg.m_szTitle.size() <= int(kDisplayTextLimit) + 3);

    QString shown;
    RunModal(dlg, [&](CReminderDlg& open) {
        shown = open.TitleStatic()->text();
        Answer(open, Action::ClickOkay);
    });
    QCOMPARE(shown, dlg.m_szTitle);
    QCOMPARE(notifier.m_notices.size(), 1);
    QVERIFY(notifier.m_notices[0].startsWith(dlg.m_szTitle + " | "));
}

QTEST_MAIN(TestReminderDlg)
#include "tst_reminderdlg.moc"
