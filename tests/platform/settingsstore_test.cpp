#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <memory>

#include "platform/settingsstore.h"

namespace {

constexpr const char* kModuleDir = "/opt/marmoset/";

// A fresh INI file per test, read back from the disk rather than through QSettings, which
// would answer from its own cache.
class StoreOnDisk {
public:
    StoreOnDisk() : m_settings(m_dir.filePath("settings.ini"), QSettings::IniFormat) {}

    CSettingsStore& Store() { return m_store; }
    QString Path() const { return m_dir.filePath("settings.ini"); }

    // Puts a value in place the way a previous run or a hand edit would have.
    void Put(const char* key, const QString& text) {
        m_settings.setValue(QStringLiteral("Software/Shareware/Quillnote/2.0/") + key, text);
        m_settings.sync();
    }

    // The value as the file on disk holds it, or a null string when it is not there.
    QString OnDisk(const char* key) const {
        QFile file(m_dir.filePath("settings.ini"));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            return {};
        }
        const QByteArray prefix = QByteArray("Shareware\\Quillnote\\2.0\\") + key + '=';
        bool inSection = false;
        while (!file.atEnd()) {
            const QByteArray line = file.readLine().trimmed();
            if (line.startsWith('[')) {
                inSection = line == "[Software]";
            } else if (inSection && line.startsWith(prefix)) {
                QByteArray value = line.mid(prefix.size());
                if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"')) {
                    value = value.mid(1, value.size() - 2);
                }
                return QString::fromUtf8(value);
            }
        }
        return {};
    }

private:
    QTemporaryDir m_dir;
    QSettings m_settings;
    CSettingsStore m_store{m_settings};
};

}  // namespace

class SettingsStoreTest : public QObject {
    Q_OBJECT

private slots:
    void firstRunWritesDefaultsButNoStartup() {
        StoreOnDisk disk;
        const LoadedSettings loaded = LoadSettings(disk.Store(), kModuleDir);

        QCOMPARE(loaded, (LoadedSettings{.nPollSeconds = 90,
                                         .bSound = 1,
                                         .nStartupMode = 1044,
                                         .taskFilePath = "/opt/marmoset/nkdat"}));
        QCOMPARE(disk.OnDisk("taskfile"), QStringLiteral("nkdat"));
        QCOMPARE(disk.OnDisk("poll"), QStringLiteral("90"));
        QCOMPARE(disk.OnDisk("sound"), QStringLiteral("1"));
        QCOMPARE(disk.OnDisk("ver"), QStringLiteral("2.0"));
        QVERIFY(disk.OnDisk("startup").isNull());
    }

    void numbersAreReadAndDefaultsWrittenBack_data() {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("poll");
        QTest::addColumn<int>("sound");
        QTest::addColumn<int>("startup");
        QTest::addColumn<QString>("afterwards");

        const QString nineteen(19, QLatin1Char('7'));
        const QString twenty = QStringLiteral("12345678901234567890");
        QTest::newRow("poll below the dialog's range")
            << QByteArray("poll") << "5" << 5 << 1 << 1044 << "5";
        QTest::newRow("poll with trailing junk")
            << QByteArray("poll") << " 120abc" << 120 << 1 << 1044 << " 120abc";
        QTest::newRow("poll negative") << QByteArray("poll") << "-3" << -3 << 1 << 1044 << "-3";
        QTest::newRow("poll of letters") << QByteArray("poll") << "abc" << 0 << 1 << 1044 << "abc";
        QTest::newRow("poll of 19 characters fits")
            << QByteArray("poll") << nineteen << 2147483647 << 1 << 1044 << nineteen;
        QTest::newRow("poll of 20 characters is missing")
            << QByteArray("poll") << twenty << 90 << 1 << 1044 << "90";
        QTest::newRow("sound off") << QByteArray("sound") << "0" << 90 << 0 << 1044 << "0";
        QTest::newRow("sound 2") << QByteArray("sound") << "2" << 90 << 2 << 1044 << "2";
        QTest::newRow("sound too long") << QByteArray("sound") << twenty << 90 << 1 << 1044 << "1";
        QTest::newRow("startup minimised") << QByteArray("startup") << "1" << 90 << 1 << 1 << "1";
        QTest::newRow("startup hidden") << QByteArray("startup") << "2" << 90 << 1 << 2 << "2";
        QTest::newRow("startup normal") << QByteArray("startup") << "3" << 90 << 1 << 3 << "3";
        QTest::newRow("startup 0") << QByteArray("startup") << "0" << 90 << 1 << 0 << "0";
        QTest::newRow("startup 7") << QByteArray("startup") << "7" << 90 << 1 << 7 << "7";
        QTest::newRow("startup letters") << QByteArray("startup") << "max" << 90 << 1 << 0 << "max";
        // A startup value that does not fit is missing, and missing startup is never written.
        QTest::newRow("startup too long")
            << QByteArray("startup") << twenty << 90 << 1 << 1044 << twenty;
    }

    void numbersAreReadAndDefaultsWrittenBack() {
        QFETCH(QByteArray, key);
        QFETCH(QString, stored);
        QFETCH(int, poll);
        QFETCH(int, sound);
        QFETCH(int, startup);
        QFETCH(QString, afterwards);

        StoreOnDisk disk;
        disk.Put(key.constData(), stored);
        const LoadedSettings loaded = LoadSettings(disk.Store(), kModuleDir);

        QCOMPARE(loaded.nPollSeconds, poll);
        QCOMPARE(loaded.bSound, sound);
        QCOMPARE(loaded.nStartupMode, startup);
        QCOMPARE(disk.OnDisk(key.constData()), afterwards);
    }

    void taskFileNameFollowsTheProgramFolder_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("afterwards");

        const QString longest(511, QLatin1Char('n'));
        const QString tooLong(512, QLatin1Char('n'));
        QTest::newRow("subfolder") << "lists/home.dat"
                                   << "/opt/marmoset/lists/home.dat"
                                   << "lists/home.dat";
        QTest::newRow("kept exactly as stored") << " spaced "
                                                << "/opt/marmoset/ spaced "
                                                << " spaced ";
        QTest::newRow("non-ASCII name") << QString::fromUtf8("aufgaben-\xc3\xbc")
                                        << QString::fromUtf8("/opt/marmoset/aufgaben-\xc3\xbc")
                                        << QString::fromUtf8("aufgaben-\xc3\xbc");
        QTest::newRow("511 characters fit") << longest << "/opt/marmoset/" + longest << longest;
        QTest::newRow("512 characters are missing") << tooLong << "/opt/marmoset/nkdat"
                                                    << "nkdat";
    }

    void taskFileNameFollowsTheProgramFolder() {
        QFETCH(QString, stored);
        QFETCH(QString, path);
        QFETCH(QString, afterwards);

        StoreOnDisk disk;
        disk.Put("taskfile", stored);
        const LoadedSettings loaded = LoadSettings(disk.Store(), kModuleDir);

        QCOMPARE(QString::fromStdString(loaded.taskFilePath), path);
        QCOMPARE(disk.OnDisk("taskfile"), afterwards);
    }

    // A start that finds every setting in place leaves the file alone: nothing to wait for.
    void startWithEverySettingStoredWritesNothing() {
        StoreOnDisk disk;
        LoadSettings(disk.Store(), kModuleDir);
        const std::filesystem::path file = disk.Path().toStdString();
        const auto old = std::filesystem::last_write_time(file) - std::chrono::hours(1);
        std::filesystem::last_write_time(file, old);
        LoadSettings(disk.Store(), kModuleDir);
        QVERIFY(std::filesystem::last_write_time(file) == old);
    }

    void versionIsWrittenWhenItIsNotInPlace() {
        StoreOnDisk disk;
        disk.Put("ver", QStringLiteral("1.0"));
        disk.Put("poll", QStringLiteral("300"));
        disk.Put("startup", QStringLiteral("2"));

        LoadSettings(disk.Store(), kModuleDir);
        QCOMPARE(disk.OnDisk("ver"), QStringLiteral("2.0"));

        disk.Put("ver", QStringLiteral("something else entirely, and long"));
        const LoadedSettings again = LoadSettings(disk.Store(), kModuleDir);
        QCOMPARE(disk.OnDisk("ver"), QStringLiteral("2.0"));
        // The stored settings survive both starts untouched.
        QCOMPARE(again.nPollSeconds, 300);
        QCOMPARE(again.nStartupMode, 2);
        QCOMPARE(disk.OnDisk("poll"), QStringLiteral("300"));
        QCOMPARE(disk.OnDisk("startup"), QStringLiteral("2"));
    }

    void readOffersBufferSizeLessOneCharacters_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("bufferSize");
        QTest::addColumn<bool>("found");

        QTest::newRow("fits exactly") << "1234" << 5 << true;
        QTest::newRow("one too many") << "12345" << 5 << false;
        QTest::newRow("empty text is a value") << "" << 1 << true;
        QTest::newRow("counted in characters, not bytes")
            << QString::fromUtf8("\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9") << 5 << true;
        QTest::newRow("no buffer at all") << "1" << 0 << false;
    }

    void readOffersBufferSizeLessOneCharacters() {
        QFETCH(QString, stored);
        QFETCH(int, bufferSize);
        QFETCH(bool, found);

        StoreOnDisk disk;
        disk.Put("dim", stored);
        const auto text = disk.Store().ReadValue("dim", bufferSize);
        QCOMPARE(text.has_value(), found);
        if (found) {
            QCOMPARE(QString::fromStdString(*text), stored);
        }
        QVERIFY(!disk.Store().ReadValue("nothing-here", 512));
    }

    void handEditedListReadsAsOneText() {
        // An unquoted comma in an INI file makes QSettings return a list.
        QTemporaryDir dir;
        const QString path = dir.filePath("edited.ini");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Software]\nShareware\\Quillnote\\2.0\\dim=100,50,700,450\n");
        file.close();

        QSettings settings(path, QSettings::IniFormat);
        const CSettingsStore store(settings);
        QCOMPARE(store.ReadValue("dim", 20), std::optional<std::string>("100,50,700,450"));
    }

    void programStoreLivesInTheUsersConfigFolder() {
        const auto settings = OpenProgramSettings();
        const QString expected = qEnvironmentVariable("XDG_CONFIG_HOME") +
                                 QStringLiteral("/Marmoset Task/marmoset-task.ini");
        QCOMPARE(settings->fileName(), expected);

        CSettingsStore store(*settings);
        LoadSettings(store, kModuleDir);
        QVERIFY(QFile::exists(expected));
    }
};

int main(int argc, char** argv) {
    // Keep every path the program might reach inside a folder of our own.
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath("config")));
    QCoreApplication app(argc, argv);
    SettingsStoreTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "settingsstore_test.moc"
