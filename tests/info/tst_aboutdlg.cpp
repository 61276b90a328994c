// The About box and its memory report, fed from memory files in the kernel's format.
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "info/aboutdlg.h"
#include "platform/memorystatus.h"

class TestAboutDlg : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    MemoryStatus ReadText(const QByteArray& text) {
        const QString path = m_dir.filePath("meminfo");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return {};
        }
        file.write(text);
        file.close();
        return ReadMemInfo(path.toStdString());
    }

private slots:
    void memoryLines_data() {
        QTest::addColumn<quint64>("total");
        QTest::addColumn<quint64>("available");
        QTest::addColumn<uint>("load");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("128 MiB in decimal megabytes")
            << quint64(134217728) << quint64(67108864) << 50u
            << QStringList({"Total RAM=134 MB", "Free RAM=67 MB", "Memory utilization=50%"});
        QTest::newRow("under a megabyte free")
            << quint64(2000000) << quint64(999999) << 57u
            << QStringList({"Total RAM=2 MB", "Free RAM=0 MB", "Memory utilization=57%"});
        QTest::newRow("beyond 4 GB")
            << quint64(68719476736) << quint64(5000000000) << 93u
            << QStringList({"Total RAM=68719 MB", "Free RAM=5000 MB", "Memory utilization=93%"});
    }
    void memoryLines() {
        QFETCH(quint64, total);
        QFETCH(quint64, available);
        QFETCH(uint, load);
        QFETCH(QStringList, lines);
        const MemoryStatus memory{
            .totalBytes = total, .availableBytes = available, .loadPercent = load};
        CAboutDlg dlg(memory);
        QStringList shown;
        for (int i = 0; i < dlg.MemoryList()->count(); ++i) {
            shown << dlg.MemoryList()->item(i)->text();
        }
        QCOMPARE(shown, lines);
        QCOMPARE(dlg.windowTitle(), QString("About Marmoset Task"));
    }

    void memInfoIsRead() {
        QCOMPARE(
            ReadText("MemTotal:         131072 kB\n"
                     "MemFree:           10000 kB\n"
                     "MemAvailable:      32768 kB\n"
                     "Buffers:            1000 kB\n"),
            (MemoryStatus{.totalBytes = 134217728, .availableBytes = 33554432, .loadPercent = 75}));
        // Older kernels have no MemAvailable; the order of the lines does not matter.
        QCOMPARE(
            ReadText("MemFree:  1000 kB\nMemTotal: 3000 kB\n"),
            (MemoryStatus{.totalBytes = 3072000, .availableBytes = 1024000, .loadPercent = 67}));
        // Lines that only begin like a figure, or hold no number, are not the figure.
        QCOMPARE(ReadText("MemTotalX: 5 kB\nMemTotal: lots\nMemTotal:\nMemTotal: 2000 kB\n"),
                 (MemoryStatus{.totalBytes = 2048000, .availableBytes = 0, .loadPercent = 100}));
        QCOMPARE(ReadMemInfo(m_dir.filePath("none").toStdString()), MemoryStatus{});
        const QStringList empty = CAboutDlg::MemoryLines(MemoryStatus{});
        QCOMPARE(empty.join('|'), QString("Total RAM=0 MB|Free RAM=0 MB|Memory utilization=0%"));
    }

    void thisMachineHasMemory() {
        const MemoryStatus memory = GetMemoryStatus();
        QVERIFY(memory.totalBytes > 0);
        QVERIFY(memory.availableBytes <= memory.totalBytes);
        QVERIFY(memory.loadPercent <= 100);
    }
};

QTEST_MAIN(TestAboutDlg)
#include "tst_aboutdlg.moc"
