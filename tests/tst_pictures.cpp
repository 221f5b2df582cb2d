// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "Unit1.h"
#include "jpeg.h"
#include "testutil.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QRandomGenerator>

#include <cstdlib>

// The pictures compiled into the resources: both JPEGs through our libjpeg
// decoder, and the icons through Qt.
class TestPictures : public QObject
{
    Q_OBJECT
private slots:
    void jpegDecodes_data();
    void jpegDecodes();
    void jpegMatchesReferenceDecoder_data();
    void jpegMatchesReferenceDecoder();
    void badBytesGiveNull_data();
    void badBytesGiveNull();
    void truncatedGivesNull_data();
    void truncatedGivesNull();
    void missingFileGivesNull();
    void icons_data();
    void icons();
    void imageListHoldsFourteenDistinctImages();
    void windowIcon();
    void mainWindowShowsLogo();
};

static QByteArray resourceBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot open %s", qPrintable(path));
    return file.readAll();
}

static int distinctColours(const QImage &image)
{
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            seen.insert(image.pixel(x, y));
    return int(seen.size());
}

static void addJpegRows()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::newRow("logo") << ":/images/logo.jpg" << QSize(95, 45);
    QTest::newRow("banner") << ":/images/banner.jpg" << QSize(900, 156);
}

void TestPictures::jpegDecodes_data() { addJpegRows(); }

void TestPictures::jpegDecodes()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    const QImage loaded = jpeg::load(path);
    QVERIFY(!loaded.isNull());
    QCOMPARE(loaded.size(), size);
    QCOMPARE(loaded.format(), QImage::Format_RGB888);
    // A drawing, not a flat placeholder.
    QVERIFY2(distinctColours(loaded) > 100, qPrintable(QString::number(distinctColours(loaded))));

    const QImage decoded = jpeg::decode(resourceBytes(path));
    QCOMPARE(decoded, loaded);
}

void TestPictures::jpegMatchesReferenceDecoder_data() { addJpegRows(); }

// Qt's own JPEG reader sees the same pixels: catches swapped channels, rows
// written at the wrong offset and the like.
void TestPictures::jpegMatchesReferenceDecoder()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    if (!QImageReader::supportedImageFormats().contains("jpeg"))
        QSKIP("Qt has no JPEG reader here");
    QByteArray bytes = resourceBytes(path);
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "jpeg");
    const QImage reference = reader.read().convertToFormat(QImage::Format_RGB888);
    QVERIFY2(!reference.isNull(), qPrintable(reader.errorString()));
    const QImage ours = jpeg::decode(bytes);
    QCOMPARE(ours.size(), size);
    QCOMPARE(reference.size(), size);
    int worst = 0;
    for (int y = 0; y < size.height(); ++y) {
        const uchar *a = ours.constScanLine(y);
        const uchar *b = reference.constScanLine(y);
        for (int i = 0; i < size.width() * 3; ++i)
            worst = std::max(worst, std::abs(int(a[i]) - int(b[i])));
    }
    QVERIFY2(worst <= 2, qPrintable(QStringLiteral("largest difference %1").arg(worst)));
}

void TestPictures::badBytesGiveNull_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("not a picture at all");
    QTest::newRow("start marker only") << QByteArray("\xFF\xD8", 2);
    QTest::newRow("start marker then end marker") << QByteArray("\xFF\xD8\xFF\xD9", 4);
    QTest::newRow("png") << resourceBytes(QStringLiteral(":/images/yes.png"));

    QRandomGenerator random(20240601);
    QByteArray noise(4096, '\0');
    for (char &c : noise)
        c = char(random.bounded(256));
    QTest::newRow("noise") << noise;
    QTest::newRow("noise after a start marker") << QByteArray("\xFF\xD8\xFF", 3) + noise;

    // A frame header that declares a picture of zero width.
    QByteArray logo = resourceBytes(QStringLiteral(":/images/logo.jpg"));
    const qsizetype sof = logo.indexOf(QByteArray("\xFF\xC0", 2));
    QVERIFY(sof > 0);
    logo[sof + 7] = 0; // width, high byte
    logo[sof + 8] = 0; // width, low byte
    QTest::newRow("zero width") << logo;
}

void TestPictures::badBytesGiveNull()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(jpeg::decode(bytes).isNull());
}

void TestPictures::truncatedGivesNull_data()
{
    QTest::addColumn<QByteArray>("bytes");
    for (const char *name : {"logo", "banner"}) {
        const QByteArray whole = resourceBytes(QStringLiteral(":/images/%1.jpg").arg(QLatin1String(name)));
        const qsizetype scan = whole.indexOf(QByteArray("\xFF\xDA", 2));
        QVERIFY(scan > 0);
        const QList<qsizetype> lengths = {1, 2, 3, 20, scan, scan + 20, whole.size() / 3,
                                          whole.size() / 2, whole.size() - 40, whole.size() - 2};
        for (qsizetype length : lengths)
            QTest::addRow("%s, first %lld of %lld bytes", name, qlonglong(length), qlonglong(whole.size()))
                << whole.left(length);
    }
}

// A picture cut short decodes to nothing rather than to a half-grey image.
void TestPictures::truncatedGivesNull()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(jpeg::decode(bytes).isNull());
}

void TestPictures::missingFileGivesNull()
{
    QVERIFY(jpeg::load(QStringLiteral(":/images/no_such_picture.jpg")).isNull());
    QVERIFY(jpeg::load(QStringLiteral("no_such_picture.jpg")).isNull());
}

void TestPictures::icons_data()
{
    QTest::addColumn<QString>("path");
    for (int i = 0; i < 14; ++i)
        QTest::addRow("image list %02d", i) << QStringLiteral(":/images/imagelist/%1.png").arg(i, 2, 10, QLatin1Char('0'));
    for (const char *name : {"arrow_back", "arrow_next", "yes", "abort"})
        QTest::newRow(name) << QStringLiteral(":/images/%1.png").arg(QLatin1String(name));
}

// Each icon is a 16 x 16 drawing on a transparent background.
void TestPictures::icons()
{
    QFETCH(QString, path);
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), QSize(16, 16));
    QVERIFY(image.hasAlphaChannel());
    int transparent = 0, opaque = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const int alpha = qAlpha(image.pixel(x, y));
            transparent += alpha == 0;
            opaque += alpha == 255;
        }
    QVERIFY2(transparent > 0, "no transparent background");
    QVERIFY2(opaque >= 24, qPrintable(QStringLiteral("only %1 opaque pixels").arg(opaque)));
    QVERIFY(distinctColours(image) >= 3);
}

// One picture per command: no two images of the list are the same.
void TestPictures::imageListHoldsFourteenDistinctImages()
{
    const QStringList names = QDir(QStringLiteral(":/images/imagelist")).entryList(QDir::Files, QDir::Name);
    QStringList expected;
    for (int i = 0; i < 14; ++i)
        expected << QStringLiteral("%1.png").arg(i, 2, 10, QLatin1Char('0'));
    QCOMPARE(names, expected);

    QList<QImage> images;
    for (const QString &name : names)
        images << QImage(QStringLiteral(":/images/imagelist/") + name).convertToFormat(QImage::Format_ARGB32);
    for (const char *glyph : {"arrow_back", "arrow_next", "yes", "abort"})
        images << QImage(QStringLiteral(":/images/%1.png").arg(QLatin1String(glyph))).convertToFormat(QImage::Format_ARGB32);
    for (int i = 0; i < images.size(); ++i)
        for (int j = i + 1; j < images.size(); ++j)
            QVERIFY2(images[i] != images[j], qPrintable(QStringLiteral("images %1 and %2 are the same").arg(i).arg(j)));
}

void TestPictures::windowIcon()
{
    const QImage icon(QStringLiteral(":/images/trakvid.png"));
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.width(), icon.height());
    QVERIFY2(icon.width() == 32 || icon.width() == 48, qPrintable(QString::number(icon.width())));
    QVERIFY(icon.hasAlphaChannel());
    const int last = icon.width() - 1;
    for (const QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)})
        QCOMPARE(qAlpha(icon.pixel(corner)), 0);
    QVERIFY(distinctColours(icon) > 16);
}

void TestPictures::mainWindowShowsLogo()
{
    Windows windows;
    const QLabel *logo = child<QLabel>(windows.form1.get(), "Image1");
    QCOMPARE(logo->pixmap().size(), QSize(95, 45));
    QCOMPARE(logo->pixmap().toImage().convertToFormat(QImage::Format_RGB888),
             jpeg::load(QStringLiteral(":/images/logo.jpg")));
    QVERIFY(!windows.form1->windowIcon().isNull());
}

TRAKVID_TEST_MAIN(TestPictures)
#include "tst_pictures.moc"
