// Starts the built program twice in a program folder of its own and checks that the second
// copy leaves at once, without touching the task file or the settings.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class TestSecondCopy : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void SecondCopyLeavesEverythingAsItWas();

private:
    QProcess* Start();

    std::unique_ptr<QTemporaryDir> m_pDir;
    QString m_strProgram;
    QString m_strTaskFile;
    QString m_strSettingsFile;
    QProcessEnvironment m_env;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

void TestSecondCopy::init() {
    m_pDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_pDir->isValid());
    const QDir root(m_pDir->path());
    QVERIFY(root.mkpath("program") && root.mkpath("config") && root.mkpath("runtime"));
    QFile::setPermissions(root.filePath("runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // The program finds its task file beside itself, so it runs from a copy in the folder.
    m_strProgram = root.filePath("program/marmoset-task");
    QVERIFY(QFile::copy(QStringLiteral(MARMOSET_PROGRAM), m_strProgram));
    m_strTaskFile = root.filePath("program/nkdat");
    QFile tasks(m_strTaskFile);
    QVERIFY(tasks.open(QIODevice::WriteOnly));
    tasks.write(
        "#12/24/2036{+}0{+}0{+}36{+}Team lunch{+}Bring the list{+}12\r\n"
        "#7/4/2037{+}2{+}0{+}0{+}Water the plants{+}(none){+}6\r\n");
    tasks.close();
    m_strSettingsFile = root.filePath("config/Marmoset Task/marmoset-task.ini");

    m_env = QProcessEnvironment::systemEnvironment();
    m_env.insert("HOME", m_pDir->path());
    m_env.insert("XDG_CONFIG_HOME", root.filePath("config"));
    m_env.insert("XDG_RUNTIME_DIR", root.filePath("runtime"));
    m_env.insert("QT_QPA_PLATFORM", "offscreen");
}

void TestSecondCopy::cleanup() {
    for (auto& process : m_processes) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(5000);
        }
    }
    m_processes.clear();
    m_pDir.reset();
}

QProcess* TestSecondCopy::Start() {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(m_env);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(m_strProgram, {});
    m_processes.push_back(std::move(process));
    return m_processes.back().get();
}

void TestSecondCopy::SecondCopyLeavesEverythingAsItWas() {
    QProcess* first = Start();
    QVERIFY(first->waitForStarted(10000));
    // The settings are written once the first copy holds the guard and has loaded them.
    QTRY_VERIFY_WITH_TIMEOUT(ReadAll(m_strSettingsFile).contains("ver"), 20000);
    QTest::qWait(200);
    const QByteArray tasksBefore = ReadAll(m_strTaskFile);
    const QByteArray settingsBefore = ReadAll(m_strSettingsFile);
    QVERIFY(!tasksBefore.isEmpty());

    QProcess* second = Start();
    QVERIFY(second->waitForFinished(20000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);

    QCOMPARE(ReadAll(m_strTaskFile), tasksBefore);
    QCOMPARE(ReadAll(m_strSettingsFile), settingsBefore);
    QCOMPARE(first->state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(TestSecondCopy)
#include "tst_secondcopy.moc"
