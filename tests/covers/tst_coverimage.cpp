// Pictures as they come from a service, a file or the clipboard: hostile ones refused with
// their reason before anything big is decoded, good ones made into a cover.
#include "covers/CoverImage.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QPainter>
#include <QTest>

using namespace q7;

namespace {

QByteArray recordedThumbnail() {
    QFile f(Q7_COVERS "/googlebooks-content-6l8kAQAAMAAJ-zoom5-thumbnail.jpg");
    if (!f.open(QIODevice::ReadOnly)) qFatal("missing recorded cover");
    return f.readAll();
}

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage drawn(int width, int height, QImage::Format format = QImage::Format_RGB32) {
    QImage image(width, height, format);
    image.fill(Qt::transparent);
    QPainter(&image).fillRect(0, 0, width / 2, height, Qt::darkBlue);
    return image;
}

quint32 crc32(const QByteArray& data) {
    quint32 crc = 0xFFFFFFFF;
    for (char c : data) {
        crc ^= static_cast<unsigned char>(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

QByteArray pngChunk(const QByteArray& type, const QByteArray& data) {
    QByteArray out;
    const auto be32 = [&out](quint32 v) {
        for (int shift : {24, 16, 8, 0})
            out += char((v >> shift) & 0xFF);
    };
    be32(quint32(data.size()));
    out += type + data;
    be32(crc32(type + data));
    return out;
}

// A whole, well-formed PNG whose header says 50 000 × 50 000 pixels: 7,5 GB once decoded.
QByteArray pngBomb() {
    QByteArray header;
    for (quint32 side : {50000u, 50000u})
        for (int shift : {24, 16, 8, 0})
            header += char((side >> shift) & 0xFF);
    header += QByteArray("\x08\x02\x00\x00\x00", 5);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) +
           pngChunk("IDAT", QByteArray("\x78\x9c\x03\x00\x00\x00\x00\x01", 8)) +
           pngChunk("IEND", {});
}

// A real JPEG whose frame header is made to say 50 000 × 50 000.
QByteArray jpegBomb() {
    QByteArray bytes = recordedThumbnail();
    const qsizetype frame = bytes.indexOf("\xFF\xC0");
    for (int at : {5, 7}) {
        bytes[frame + at] = char(50000 >> 8);
        bytes[frame + at + 1] = char(50000 & 0xFF);
    }
    return bytes;
}

} // namespace

class TestCoverImage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void refused_data();
    void refused();
    void made_data();
    void made();
    void storedSmallAsJpeg();
};

void TestCoverImage::refused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("problem");
    const QByteArray jpeg = recordedThumbnail();
    const QByteArray png = encoded(drawn(300, 400), "PNG");
    const QString side = QLocale(QLocale::French).toString(50000);
    const QString declared = side + " × " + side + " pixels";
    QTest::newRow("PNG bomb") << pngBomb() << declared;
    QTest::newRow("JPEG bomb") << jpegBomb() << declared;
    QTest::newRow("JPEG cut in its picture") << jpeg.first(jpeg.size() / 2) << "incomplète";
    QTest::newRow("JPEG cut in its header") << jpeg.first(300) << "incomplète";
    QTest::newRow("PNG cut") << png.first(png.size() - 20) << "incomplète";
    QTest::newRow("web page") << QByteArray(
                                     "\n  <!DOCTYPE html><html><body>Not found</body></html>")
                              << "page web";
    QTest::newRow("a PDF") << QByteArray("%PDF-1.4\n1 0 obj") << "pas une image";
    QTest::newRow("SVG") << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" "
                                       "height=\"10\"></svg>")
                         << "SVG ne sont pas prises";
    QTest::newRow("nothing") << QByteArray() << "vide";
    QTest::newRow("over 32 MB") << QByteArray(maxImageBytes + 1, '\xFF') << "plus de 32 Mo";
}

void TestCoverImage::refused() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, problem);
    QElapsedTimer clock;
    clock.start();
    const ReadImage read = readImage(bytes);
    QVERIFY(!read.ok());
    QVERIFY2(read.problem.contains(problem), qPrintable(read.problem));
    QVERIFY2(clock.elapsed() < 1000, "refused before decoding");
}

void TestCoverImage::made_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size");
    QTest::newRow("recorded thumbnail as it is") << recordedThumbnail() << QSize(128, 192);
    QTest::newRow("large JPEG made smaller")
        << encoded(drawn(1200, 1800), "JPEG") << QSize(400, 600);
    QTest::newRow("wide PNG made smaller") << encoded(drawn(2000, 1000), "PNG") << QSize(600, 300);
    QTest::newRow("BMP") << encoded(drawn(90, 120), "BMP") << QSize(90, 120);
    QTest::newRow("JPEG with bytes after its end")
        << encoded(drawn(100, 150), "JPEG") + QByteArray(64, '\0') << QSize(100, 150);
}

void TestCoverImage::made() {
    QFETCH(QByteArray, bytes);
    const ReadImage read = readImage(bytes);
    QVERIFY2(read.ok(), qPrintable(read.problem));
    QTEST(read.image.size(), "size");
    QVERIFY(!read.image.hasAlphaChannel());
}

// Transparency becomes white, not black, and what is kept is a JPEG of 600 pixels at most.
void TestCoverImage::storedSmallAsJpeg() {
    const ReadImage read = readImage(encoded(drawn(1600, 800, QImage::Format_ARGB32), "PNG"), 2000);
    QCOMPARE(read.image.size(), QSize(1600, 800));
    const std::string jpeg = coverJpeg(read.image);
    const QImage kept = QImage::fromData(QByteArray::fromStdString(jpeg), "JPEG");
    QCOMPARE(kept.size(), QSize(600, 300));
    QVERIFY(wholeJpeg(QByteArray::fromStdString(jpeg)));
    QVERIFY(qGray(kept.pixel(590, 150)) > 240);
    QVERIFY(qGray(kept.pixel(10, 150)) < 100);
}

QTEST_GUILESS_MAIN(TestCoverImage)
#include "tst_coverimage.moc"
