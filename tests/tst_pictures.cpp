#include "helpers/testfiles.h"
#include "store/pictures.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

using namespace zorbin::store;

namespace {

QImage testImage(int w, int h, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(w, h, format);
    image.fill(QColor(30, 120, 200));
    QPainter p(&image);
    p.fillRect(0, 0, w / 2, h / 2, Qt::red);
    return image;
}

} // namespace

class TstPictures : public QObject
{
    Q_OBJECT

private slots:
    // Ordinary numbers keep exactly "<mobile>.jpg", so pictures saved earlier are found.
    void ordinaryNamesKept_data()
    {
        QTest::addColumn<QString>("mobile");
        QTest::newRow("digits") << QStringLiteral("09121234567");
        QTest::newRow("international") << QStringLiteral("+98 (912) 123-4567");
        QTest::newRow("persian digits") << QStringLiteral("۰۹۱۲۱۲۳۴۵۶۷");
        QTest::newRow("dotted") << QStringLiteral("0912.123.4567");
        QTest::newRow("extension") << QStringLiteral("021-8888 #12*3_4,5");
    }
    void ordinaryNamesKept()
    {
        QFETCH(QString, mobile);
        QCOMPARE(pictureFileName(mobile), mobile + QStringLiteral(".jpg"));
        QCOMPARE(picturePath(QStringLiteral("/data"), mobile),
                 QStringLiteral("/data/images/") + mobile + QStringLiteral(".jpg"));
    }

    // No number names a file outside images/, a hidden file or the default picture, and
    // different numbers never share a file.
    void unsafeNamesStayInside()
    {
        const QStringList mobiles{"../../etc/passwd",
                                  "a/b",
                                  "a\\b",
                                  "..",
                                  ".",
                                  ".x",
                                  "a..b",
                                  QString(QChar(0)),
                                  "a\nb",
                                  "",
                                  "none",
                                  "NONE",
                                  "a%2Fb",
                                  "%%",
                                  "a:b",
                                  QString(10000, u'9'),
                                  QString(10000, u'8'),
                                  "x\u202Eexe",
                                  "a/b/../c",
                                  "...",
                                  "a.",
                                  "a.b."};
        QSet<QString> seen;
        for (const QString &m : mobiles) {
            const QString name = pictureFileName(m);
            QVERIFY2(!name.contains(u'/') && !name.contains(u'\\') && !name.contains(QChar(0)),
                     qPrintable(name));
            QVERIFY2(!name.startsWith(u'.'), qPrintable(name));
            QVERIFY2(!name.contains(QStringLiteral("..")), qPrintable(name));
            QVERIFY2(name.toUtf8().size() <= 255, qPrintable(m.left(20)));
            QVERIFY(name.endsWith(QStringLiteral(".jpg")));
            QVERIFY(name.compare(QStringLiteral("none.jpg"), Qt::CaseInsensitive) != 0);
            const QFileInfo path(picturePath(QStringLiteral("/data"), m));
            QCOMPARE(path.absolutePath(), QStringLiteral("/data/images"));
            QVERIFY2(!seen.contains(name), qPrintable(name));
            seen.insert(name);
        }
        QCOMPARE(pictureFileName(QStringLiteral("09121234567")),
                 pictureFileName(QStringLiteral("09121234567")));
    }

    // A saved picture is a real JPEG, 0600, in an images folder made 0700 when missing,
    // and nothing half-made is left beside it; it loads back.
    void saveAndLoad()
    {
        QTemporaryDir dir;
        const auto saved = savePicture(dir.path(), QStringLiteral("0912/../x"), testImage(40, 30));
        QVERIFY2(saved, saved ? "" : qPrintable(saved.error().detail));
        QCOMPARE(QFileInfo(*saved).absolutePath(), picturesFolder(dir.path()));
        QCOMPARE(fileMode(picturesFolder(dir.path())), 0700);
        QCOMPARE(fileMode(*saved), 0600);
        QFile f(*saved);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(3) == QByteArray("\xFF\xD8\xFF", 3));
        QCOMPARE(QImageReader(*saved).format(), QByteArray("jpeg"));
        QCOMPARE(QDir(picturesFolder(dir.path())).entryList(QDir::Files | QDir::Hidden).size(), 1);

        const auto loaded = loadPicture(*saved);
        QVERIFY(loaded);
        QCOMPARE(loaded->size(), QSize(40, 30));
        // JPEG is lossy; the colours stay close.
        const QColor corner = loaded->pixelColor(2, 2);
        QVERIFY(corner.red() > 200 && corner.blue() < 60);

        // A second save replaces the first.
        const auto again = savePicture(dir.path(), QStringLiteral("0912/../x"), testImage(20, 20));
        QVERIFY(again);
        QCOMPARE(loadPicture(*again)->size(), QSize(20, 20));
        QCOMPARE(QDir(picturesFolder(dir.path())).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    // Large pictures are kept at a sensible size; transparent parts turn white.
    void largeAndTransparent()
    {
        QTemporaryDir dir;
        const QString big = dir.filePath(QStringLiteral("big.png"));
        QVERIFY(testImage(4000, 2000).save(big));
        const auto loaded = loadPicture(big);
        QVERIFY(loaded);
        QCOMPARE(loaded->size(), QSize(kPictureMaxSide, kPictureMaxSide / 2));

        const auto saved = savePicture(dir.path(), QStringLiteral("1"), testImage(3000, 6000));
        QVERIFY(saved);
        QCOMPARE(QImageReader(*saved).size(), QSize(kPictureMaxSide / 2, kPictureMaxSide));

        QImage clear(10, 10, QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        const auto white = savePicture(dir.path(), QStringLiteral("2"), clear);
        QVERIFY(white);
        QVERIFY(loadPicture(*white)->pixelColor(5, 5).lightness() > 240);
    }

    // Files that are not pictures, missing files and unwritable folders give clear failures.
    void failures()
    {
        QTemporaryDir dir;
        const QString text = dir.filePath(QStringLiteral("photo.jpg"));
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("this is not a picture\n");
        f.close();
        const auto notImage = loadPicture(text);
        QVERIFY(!notImage);
        QCOMPARE(notImage.error().kind, StoreError::Kind::Io);
        QVERIFY(notImage.error().detail.contains(QStringLiteral("not a picture")));
        QVERIFY(!loadPicture(dir.filePath(QStringLiteral("missing.jpg"))));
        QVERIFY(!loadPicture(dir.path()));

        QVERIFY(!savePicture(dir.path(), QStringLiteral("1"), QImage()));
        // images/ is a file: nothing can be written inside it.
        QTemporaryDir blocked;
        QFile block(picturesFolder(blocked.path()));
        QVERIFY(block.open(QIODevice::WriteOnly));
        block.close();
        const auto refused = savePicture(blocked.path(), QStringLiteral("1"), testImage(5, 5));
        QVERIFY(!refused);
        QCOMPARE(refused.error().kind, StoreError::Kind::Io);
    }
};

QTEST_GUILESS_MAIN(TstPictures)
#include "tst_pictures.moc"
