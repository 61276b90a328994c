#include <QGuiApplication>
#include <QLineF>
#include <QTemporaryDir>
#include <QTest>

#include "res/images.h"

namespace {

// A rough name for a pixel's colour: red, green, white, yellow or teal.
char Hue(QRgb pixel) {
    const int r = qRed(pixel), g = qGreen(pixel), b = qBlue(pixel);
    if (r > 220 && g > 220 && b > 220) {
        return 'w';
    }
    if (r > 180 && g > 150 && b < 90) {
        return 'y';
    }
    if (r > g + 60 && r > b + 60) {
        return 'r';
    }
    if (g > r + 60 && g > b + 30) {
        return 'g';
    }
    if (g > r + 40 && b > r + 40) {
        return 't';  // teal
    }
    return '?';
}

}  // namespace

class ImagesTest : public QObject {
    Q_OBJECT

private slots:
    void appIconComesInEverySize() {
        const QIcon icon = AppIcon();
        QVERIFY(!icon.isNull());
        for (const int size : {16, 32, 48, 64}) {
            QVERIFY2(icon.availableSizes().contains(QSize(size, size)),
                     qPrintable(QString::number(size)));
            const QImage image = icon.pixmap(size).toImage();
            QCOMPARE(image.size(), QSize(size, size));
            // The clock is round, so the lower corners show the desktop behind it.
            QCOMPARE(qAlpha(image.pixel(0, size - 1)), 0);
            QCOMPARE(qAlpha(image.pixel(size - 1, size - 1)), 0);
            QCOMPARE(qAlpha(image.pixel(size / 2, size * 2 / 3)), 255);
        }
    }

    void statusImagesAreTheFourBadgesOnATransparentGround_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QPoint>("mark");
        QTest::addColumn<char>("hue");

        // The flag's middle, and the cross's middle on its teal disc.
        QTest::newRow("red flag") << 0 << QPoint(11, 7) << 'r';
        QTest::newRow("green flag") << 1 << QPoint(11, 7) << 'g';
        QTest::newRow("white flag") << 2 << QPoint(11, 7) << 'w';
        QTest::newRow("yellow cross") << 3 << QPoint(10, 10) << 'y';
        QTest::newRow("teal disc") << 3 << QPoint(10, 4) << 't';
    }

    void statusImagesAreTheFourBadgesOnATransparentGround() {
        QFETCH(int, index);
        QFETCH(QPoint, mark);
        QFETCH(char, hue);

        const QList<QIcon> images = StatusImages();
        QCOMPARE(images.size(), 4);
        // Drawn at their size and again at twice it, for a screen scaled by 2: the same
        // picture, not an enlarged copy.
        for (const int scale : {1, 2}) {
            const int size = kStatusImageSize * scale;
            const QImage image = Image(images[index], scale);
            QCOMPARE(image.size(), QSize(size, size));
            for (const QPoint corner : {QPoint(0, 0), QPoint(size - 1, 0), QPoint(0, size - 1),
                                        QPoint(size - 1, size - 1)}) {
                QCOMPARE(qAlpha(image.pixel(corner)), 0);
            }
            QCOMPARE(qAlpha(image.pixel(mark * scale)), 255);
            QCOMPARE(Hue(image.pixel(mark * scale)), hue);
        }
        const QImage enlarged = Image(images[index], 1).scaled(40, 40);
        QVERIFY(enlarged != Image(images[index], 2));
    }

    void nothingDrawnIsKeyedOut() {
        // Inside each disc every pixel stays: only the ground around it goes.
        for (const QIcon& icon : StatusImages()) {
            for (const int scale : {1, 2}) {
                const QImage image = Image(icon, scale);
                for (int y = 0; y < image.height(); ++y) {
                    for (int x = 0; x < image.width(); ++x) {
                        if (QLineF(x + 0.5, y + 0.5, 10 * scale, 10 * scale).length() <
                            8.0 * scale) {
                            QCOMPARE(qAlpha(image.pixel(x, y)), 255);
                        }
                    }
                }
            }
        }
    }

private:
    // The image an icon gives for a status image's place on a screen of that scale.
    static QImage Image(const QIcon& icon, int scale) {
        return icon.pixmap(QSize(kStatusImageSize, kStatusImageSize), scale)
            .toImage()
            .convertToFormat(QImage::Format_ARGB32);
    }
};

int main(int argc, char** argv) {
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
    QGuiApplication app(argc, argv);
    ImagesTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "images_test.moc"
