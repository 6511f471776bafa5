#include "platform/TrayIcons.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

namespace {

QImage imageOf(const QIcon& icon, int size) {
    return icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestTrayIcons : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each picture exists at the tray's sizes, drawn for each size (not scaled from another), with a
    // transparent background around the card.
    void everyPictureIsDrawnAtEachSize() {
        for (int n = 1; n <= qel::icons::kTrayPictureCount; ++n) {
            const QIcon icon = qel::icons::trayPicture(n);
            QVERIFY(!icon.isNull());
            const QList<QSize> sizes = icon.availableSizes();
            for (const int size : {16, 32, 64}) {
                QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(n)));
                const QImage image = imageOf(icon, size);
                QCOMPARE(image.size(), QSize(size, size));
                QCOMPARE(qAlpha(image.pixel(0, size - 1)), 0); // outside the card
                QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
            }
        }
        QVERIFY(qel::icons::trayPicture(0).isNull());
        QVERIFY(qel::icons::trayPicture(9).isNull());
        QVERIFY(qel::icons::trayPicture(-1).isNull());
    }

    // Eight different pictures at every size: above all the two frames of each animation, which
    // would not move if they were the same.
    void thePicturesDifferFromOneAnother() {
        for (const int size : {16, 32, 64}) {
            for (int a = 1; a <= qel::icons::kTrayPictureCount; ++a)
                for (int b = a + 1; b <= qel::icons::kTrayPictureCount; ++b)
                    QVERIFY2(imageOf(qel::icons::trayPicture(a), size) !=
                                 imageOf(qel::icons::trayPicture(b), size),
                             qPrintable(QStringLiteral("%1 and %2 at %3 px").arg(a).arg(b).arg(size)));
        }
    }

    // The animation tells which frame the tray shows by comparing icons: a picture must be the same
    // icon each time it is asked for, and another picture another icon.
    void aPictureKeepsItsIdentity() {
        for (int n = 1; n <= qel::icons::kTrayPictureCount; ++n) {
            QCOMPARE(qel::icons::trayPicture(n).cacheKey(), qel::icons::trayPicture(n).cacheKey());
            if (n > 1)
                QVERIFY(qel::icons::trayPicture(n).cacheKey() != qel::icons::trayPicture(n - 1).cacheKey());
        }
    }

    void theProgramIconIsTheNormalPicture() {
        const QIcon icon = qel::icons::programIcon();
        for (const int size : {16, 32, 64})
            QCOMPARE(imageOf(icon, size), imageOf(qel::icons::trayPicture(1), size));
        QVERIFY(icon.availableSizes().contains(QSize(256, 256)));
    }

    void picturesAreWrittenForTheScreenshots() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString folder = dir.filePath(QStringLiteral("icons/new"));
        QString error = QStringLiteral("left over");
        const QStringList files = qel::icons::writeTrayPictures(folder, &error);
        QCOMPARE(error, QString());
        QCOMPARE(files.size(), qel::icons::kTrayPictureCount);
        for (int n = 1; n <= qel::icons::kTrayPictureCount; ++n) {
            QCOMPARE(files.at(n - 1), QDir(folder).filePath(QStringLiteral("icon-%1.png").arg(n)));
            const QImage written(files.at(n - 1));
            QCOMPARE(written.convertToFormat(QImage::Format_ARGB32), imageOf(qel::icons::trayPicture(n), 64));
        }

        // A folder that cannot be made: nothing written, and the reason names it.
        const QString plainFile = dir.filePath(QStringLiteral("not-a-folder"));
        QFile file(plainFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QString below = plainFile + QStringLiteral("/icons");
        QVERIFY(qel::icons::writeTrayPictures(below, &error).isEmpty());
        QVERIFY2(error.contains(below), qPrintable(error));
    }
};

QEL_TEST_MAIN(TestTrayIcons)
#include "test_tray_icons.moc"
