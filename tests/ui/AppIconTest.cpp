// Icon 128: every installed size is built into the program and drawn, not empty.
#include "res/AppIcon.h"

#include <QGuiApplication>
#include <QImage>
#include <QTest>

class AppIconTest : public QObject {
    Q_OBJECT

private slots:
    void everySizeIsThereAndDrawn() {
        const QIcon icon = LoadAppIcon();
        QVERIFY(!icon.isNull());
        const QList<QSize> sizes = icon.availableSizes();
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
            const QImage image = icon.pixmap(QSize(size, size)).toImage();
            QCOMPARE(image.size(), QSize(size, size));
            // A rounded tile: transparent corner, opaque centre.
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
        }
        // The dits and dahs are amber on the blue tile: the top third holds reds far above blues.
        const QImage large = icon.pixmap(QSize(256, 256)).toImage();
        const QRgb dah = large.pixel(50, 61);
        QVERIFY(qRed(dah) > 200 && qBlue(dah) < 100);
        const QRgb tile = large.pixel(128, 100);
        QVERIFY(qBlue(tile) > qRed(tile) + 40);
    }
};

QTEST_MAIN(AppIconTest)
#include "AppIconTest.moc"
