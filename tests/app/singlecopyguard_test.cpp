#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/singlecopyguard.h"
#include "platform/privatefolder.h"

namespace {

constexpr int kWaitMs = 10000;
const char* const kChildSwitch = "--guard-child";
const char* const kWaitForGo = "--wait-for-go";
const char* const kHoldLock = "--hold-lock";

// Each test has a name of its own, so no lock or socket carries over between tests.
QString UniqueName() {
    static int counter = 0;
    return QStringLiteral("guard-test-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(++counter);
}

void Say(const char* line) {
    std::cout << line << std::endl;
}

// A copy of the program in a process of its own: it reports whether it came first and, if
// so, every request to come forward.
int RunChild(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString name = QString::fromLocal8Bit(argv[2]);
    if (argc > 3 && std::string(argv[3]) == kHoldLock) {
        // Holds a guard's lock without ever answering on its socket, as a hung copy would.
        QLockFile lock(name);
        Say(lock.tryLock(0) ? "holding" : "not holding");
        return QCoreApplication::exec();
    }
    if (argc > 3 && std::string(argv[3]) == kWaitForGo) {
        Say("ready");
        std::string go;
        std::getline(std::cin, go);
    }
    CSingleCopyGuard guard(name);
    if (!guard.TryBecomeFirst()) {
        Say("second");
        return 0;
    }
    QObject::connect(&guard, &CSingleCopyGuard::ActivationRequested, [] { Say("activated"); });
    Say("first");
    return QCoreApplication::exec();
}

std::unique_ptr<QProcess> StartChild(const QString& name, bool waitForGo = false) {
    auto process = std::make_unique<QProcess>();
    QStringList arguments{QString::fromLatin1(kChildSwitch), name};
    if (waitForGo) {
        arguments << QString::fromLatin1(kWaitForGo);
    }
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(QCoreApplication::applicationFilePath(), arguments);
    return process;
}

QByteArray ReadLine(QProcess& process) {
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(kWaitMs)) {
            return {};
        }
    }
    return process.readLine().trimmed();
}

}  // namespace

class SingleCopyGuardTest : public QObject {
    Q_OBJECT

private slots:
    void secondGuardLosesAndBringsTheFirstForward() {
        const QString name = UniqueName();
        CSingleCopyGuard first(name);
        QVERIFY(first.TryBecomeFirst());
        QVERIFY(QFile::exists(first.LockFilePath()));
        QSignalSpy activations(&first, &CSingleCopyGuard::ActivationRequested);

        CSingleCopyGuard second(name);
        QVERIFY(!second.TryBecomeFirst());
        QVERIFY(activations.wait(kWaitMs));

        CSingleCopyGuard third(name);
        QVERIFY(!third.TryBecomeFirst());
        QTRY_COMPARE_WITH_TIMEOUT(activations.count(), 2, kWaitMs);
        // The first copy stays first when asked again.
        QVERIFY(first.TryBecomeFirst());
    }

    void nextCopyWinsOnceTheFirstHasEnded() {
        const QString name = UniqueName();
        auto first = std::make_unique<CSingleCopyGuard>(name);
        QVERIFY(first->TryBecomeFirst());
        first.reset();

        CSingleCopyGuard next(name);
        QVERIFY(next.TryBecomeFirst());
        QSignalSpy activations(&next, &CSingleCopyGuard::ActivationRequested);
        CSingleCopyGuard later(name);
        QVERIFY(!later.TryBecomeFirst());
        QVERIFY(activations.wait(kWaitMs));
    }

    void differentNamesDoNotMeet() {
        CSingleCopyGuard one(UniqueName());
        CSingleCopyGuard other(UniqueName());
        QVERIFY(one.TryBecomeFirst());
        QVERIFY(other.TryBecomeFirst());
    }

    void strangersOnTheSocketAreIgnored() {
        const QString name = UniqueName();
        CSingleCopyGuard first(name);
        QVERIFY(first.TryBecomeFirst());
        QSignalSpy activations(&first, &CSingleCopyGuard::ActivationRequested);

        for (const QByteArray& junk : {QByteArray("hello\n"), QByteArray(200, 'x')}) {
            QLocalSocket stranger;
            stranger.connectToServer(first.ServerName());
            QVERIFY(stranger.waitForConnected(kWaitMs));
            stranger.write(junk);
            QVERIFY(stranger.waitForBytesWritten(kWaitMs));
            // The guard hangs up on anything it does not understand.
            QTRY_COMPARE_WITH_TIMEOUT(stranger.state(), QLocalSocket::UnconnectedState, kWaitMs);
        }
        QCOMPARE(activations.count(), 0);
    }

    void copyThatCannotMakeItsLockStillStarts() {
        // A folder that does not exist stands for a runtime folder we may not write to.
        const QString name = QStringLiteral("no-such-folder/") + UniqueName();
        CSingleCopyGuard guard(name);
        QVERIFY(guard.TryBecomeFirst());
        QVERIFY(!QFile::exists(guard.LockFilePath()));
    }

    void runningCopyInAnotherProcessIsAskedForward() {
        const QString name = UniqueName();
        auto child = StartChild(name);
        QCOMPARE(ReadLine(*child), QByteArray("first"));

        CSingleCopyGuard guard(name);
        QVERIFY(!guard.TryBecomeFirst());
        QCOMPARE(ReadLine(*child), QByteArray("activated"));
        child->kill();
        child->waitForFinished(kWaitMs);
    }

    void lockOfACrashedCopyDoesNotBlock() {
        const QString name = UniqueName();
        auto child = StartChild(name);
        QCOMPARE(ReadLine(*child), QByteArray("first"));
        child->kill();
        QVERIFY(child->waitForFinished(kWaitMs));

        CSingleCopyGuard guard(name);
        // The dead copy left its lock file and its socket behind.
        QVERIFY(QFile::exists(guard.LockFilePath()));
        QVERIFY(QFile::exists(guard.ServerName()));
        QVERIFY(guard.TryBecomeFirst());

        // The socket left behind has been replaced by a working one.
        QSignalSpy activations(&guard, &CSingleCopyGuard::ActivationRequested);
        CSingleCopyGuard later(name);
        QVERIFY(!later.TryBecomeFirst());
        QVERIFY(activations.wait(kWaitMs));
    }

    void copiesStartedTogetherLeaveExactlyOneRunning() {
        constexpr int kCopies = 6;
        const QString name = UniqueName();
        std::vector<std::unique_ptr<QProcess>> copies;
        copies.reserve(kCopies);
        for (int i = 0; i < kCopies; ++i) {
            copies.push_back(StartChild(name, true));
        }
        for (auto& copy : copies) {
            QCOMPARE(ReadLine(*copy), QByteArray("ready"));
        }
        for (auto& copy : copies) {
            copy->write("go\n");
        }
        for (auto& copy : copies) {
            copy->waitForBytesWritten(kWaitMs);
        }

        QProcess* winner = nullptr;
        int losers = 0;
        for (auto& copy : copies) {
            const QByteArray answer = ReadLine(*copy);
            if (answer == "first") {
                QVERIFY2(!winner, "two copies came first");
                winner = copy.get();
            } else {
                QCOMPARE(answer, QByteArray("second"));
                QVERIFY(copy->waitForFinished(kWaitMs));
                QCOMPARE(copy->exitCode(), 0);
                ++losers;
            }
        }
        QVERIFY(winner);
        QCOMPARE(losers, kCopies - 1);
        // Every loser reached the winner, even those that asked before it listened.
        for (int i = 0; i < losers; ++i) {
            QCOMPARE(ReadLine(*winner), QByteArray("activated"));
        }
        winner->kill();
        winner->waitForFinished(kWaitMs);
    }

    void guardLivesOnlyInAPrivateFolder() {
        QTemporaryDir dir;
        const QString shared = dir.filePath("shared");
        QVERIFY(QDir().mkdir(shared));
        QVERIFY(QFile::setPermissions(shared, QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ExeOwner | QFile::ReadOther |
                                                  QFile::WriteOther | QFile::ExeOther));
        QVERIFY(!IsPrivateFolder(shared));
        QVERIFY(!IsPrivateFolder(dir.filePath("missing")));

        // The next candidate is made for the guard, for the user alone.
        const QString own = dir.filePath("cache/Marmoset Task");
        CSingleCopyGuard guard(UniqueName(), {shared, own});
        QCOMPARE(guard.Folder(), own);
        QCOMPARE(QFileInfo(own).permissions() &
                     (QFile::WriteGroup | QFile::WriteOther | QFile::ReadOther | QFile::ReadGroup),
                 QFile::Permissions());
        QVERIFY(guard.TryBecomeFirst());
        QVERIFY(guard.LockFilePath().startsWith(own + "/"));

        // With nowhere private, every copy runs, and nothing is put in the shared folder.
        const QString name = UniqueName();
        CSingleCopyGuard first(name, {shared});
        CSingleCopyGuard second(name, {shared});
        QVERIFY(first.Folder().isEmpty());
        QVERIFY(first.TryBecomeFirst());
        QVERIFY(second.TryBecomeFirst());
        QVERIFY(QDir(shared).isEmpty());
    }

    void folderOfAnotherUserIsNotUsed() {
        if (geteuid() != 0) {
            QSKIP("needs root to give a folder to another user");
        }
        QTemporaryDir dir;
        const QString foreign = dir.filePath("runtime-of-someone-else");
        QVERIFY(QDir().mkdir(foreign));
        QVERIFY(
            QFile::setPermissions(foreign, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(chown(QFile::encodeName(foreign).constData(), 65534, 65534) == 0);
        QVERIFY(!IsPrivateFolder(foreign));
        CSingleCopyGuard guard(UniqueName(), {foreign});
        QVERIFY(guard.Folder().isEmpty());
        QVERIFY(guard.TryBecomeFirst());
    }

    void lockOfACopyThatDoesNotAnswerDoesNotStopAStart() {
        const QString name = UniqueName();
        CSingleCopyGuard guard(name);
        auto holder = std::make_unique<QProcess>();
        holder->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        holder->start(QCoreApplication::applicationFilePath(),
                      {QString::fromLatin1(kChildSwitch), guard.LockFilePath(),
                       QString::fromLatin1(kHoldLock)});
        QCOMPARE(ReadLine(*holder), QByteArray("holding"));

        QVERIFY(guard.TryBecomeFirst());
        holder->kill();
        holder->waitForFinished(kWaitMs);
    }

    void nameCombinesTitleAndUser_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("name");

        QTest::newRow("plain") << "alice"
                               << "Marmoset Task-alice";
        QTest::newRow("path characters") << "dom/ain\\bob"
                                         << "Marmoset Task-dom_ain_bob";
        QTest::newRow("non-ASCII") << QString::fromUtf8("j\xc3\xb6rg") << "Marmoset Task-j_rg";
    }

    void nameCombinesTitleAndUser() {
        QFETCH(QString, user);
        QFETCH(QString, name);

        const QByteArray saved = qgetenv("USER");
        qputenv("USER", user.toUtf8());
        const QString made = CSingleCopyGuard::NameFor(QStringLiteral("Marmoset Task"));
        qputenv("USER", saved);
        QCOMPARE(made, name);
    }
};

int main(int argc, char** argv) {
    if (argc > 2 && std::string(argv[1]) == kChildSwitch) {
        return RunChild(argc, argv);
    }
    // Locks and sockets go to a runtime folder of our own; the child copies inherit it.
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qputenv("HOME", QFile::encodeName(runtime.path()));
    QCoreApplication app(argc, argv);
    SingleCopyGuardTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "singlecopyguard_test.moc"
