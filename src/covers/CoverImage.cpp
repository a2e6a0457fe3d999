#include "covers/CoverImage.h"

#include <QBuffer>
#include <QImageReader>
#include <QLocale>
#include <QPainter>

#include <algorithm>
#include <array>

namespace q7 {

namespace {

// Decoders of formats a cover comes in, and nothing more: a rare decoder is a rare bug.
constexpr std::array<const char*, 5> formats = {"jpeg", "png", "gif", "bmp", "webp"};

// Qt's own cap on what one picture may take once decoded; the pixel count is checked
// first, this is the second fence.
constexpr int allocationLimitMiB = 256;

ReadImage refused(const QString& why) {
    return {{}, why};
}

bool looksLikeWebPage(QByteArrayView bytes) {
    const QByteArray start =
        bytes.first(std::min<qsizetype>(bytes.size(), 512)).toByteArray().trimmed().toLower();
    return start.startsWith("<!doctype") || start.startsWith("<html") ||
           start.startsWith("<?xml") || start.startsWith("<head") || start.startsWith("<body");
}

unsigned byteAt(QByteArrayView bytes, qsizetype at) {
    return static_cast<unsigned char>(bytes[at]);
}

QString thousands(qint64 n) {
    return QLocale(QLocale::French, QLocale::France).toString(n);
}

} // namespace

bool wholeJpeg(QByteArrayView b) {
    if (b.size() < 4 || byteAt(b, 0) != 0xFF || byteAt(b, 1) != 0xD8) return false;
    qsizetype at = 2;
    while (at + 1 < b.size()) {
        if (byteAt(b, at) != 0xFF) return false;
        const unsigned marker = byteAt(b, at + 1);
        if (marker == 0xFF) { // fill before a marker
            ++at;
            continue;
        }
        if (marker == 0xD9) return true; // the end of the picture
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        if (at + 3 >= b.size()) return false;
        const qsizetype length = qsizetype(byteAt(b, at + 2)) << 8 | byteAt(b, at + 3);
        if (length < 2) return false;
        at += 2 + length;
        if (at > b.size()) return false;
        if (marker != 0xDA) continue;
        // The scan's coded data runs to the next marker: FF 00 is a coded FF, FF D0 to
        // FF D7 restart, FF FF is fill.
        while (at + 1 < b.size()) {
            if (byteAt(b, at) != 0xFF) {
                ++at;
                continue;
            }
            const unsigned next = byteAt(b, at + 1);
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
                at += 2;
                continue;
            }
            if (next == 0xFF) {
                ++at;
                continue;
            }
            break;
        }
    }
    return false;
}

bool wholePng(QByteArrayView b) {
    static constexpr unsigned char signature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (b.size() < 8 ||
        !std::equal(std::begin(signature), std::end(signature), b.begin(),
                    [](unsigned char s, char c) { return s == static_cast<unsigned char>(c); }))
        return false;
    qsizetype at = 8;
    while (at + 12 <= b.size()) {
        const qint64 length = qint64(byteAt(b, at)) << 24 | byteAt(b, at + 1) << 16 |
                              byteAt(b, at + 2) << 8 | byteAt(b, at + 3);
        if (b.sliced(at + 4, 4) == QByteArrayView("IEND")) return true;
        at += 12 + length;
    }
    return false;
}

ReadImage readImage(QByteArrayView bytes, int longest) {
    if (bytes.isEmpty()) return refused(QStringLiteral("le fichier est vide"));
    if (bytes.size() > maxImageBytes)
        return refused(
            QStringLiteral("le fichier pèse plus de %1 Mo").arg(maxImageBytes / (1024 * 1024)));
    if (looksLikeWebPage(bytes))
        return refused(QStringLiteral("c'est une page web, pas une image"));

    QByteArray data = QByteArray::fromRawData(bytes.data(), bytes.size());
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader::setAllocationLimit(allocationLimitMiB);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (std::ranges::none_of(formats, [&format](const char* f) { return format == f; }))
        return refused(format.isEmpty()
                           ? QStringLiteral("ce n'est pas une image (JPEG, PNG, GIF ou BMP)")
                           : QStringLiteral("les images %1 ne sont pas prises en charge "
                                            "(JPEG, PNG, GIF ou BMP)")
                                 .arg(QString::fromLatin1(format.toUpper())));
    if ((format == "jpeg" && !wholeJpeg(bytes)) || (format == "png" && !wholePng(bytes)))
        return refused(QStringLiteral("l'image est incomplète (fichier coupé avant la fin)"));
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return refused(QStringLiteral("l'image est illisible (ses dimensions manquent)"));
    if (qint64(size.width()) * size.height() > maxImagePixels)
        return refused(QStringLiteral("l'image se dit de %1 × %2 pixels : bien trop grande "
                                      "(%3 millions de pixels au plus)")
                           .arg(thousands(size.width()), thousands(size.height()))
                           .arg(maxImagePixels / 1'000'000));
    reader.setAutoTransform(true);
    const bool smaller = size.width() > longest || size.height() > longest;
    // JPEG decodes straight at a fraction of its size: a big photo never fills memory.
    if (smaller && reader.supportsOption(QImageIOHandler::ScaledSize))
        reader.setScaledSize(size.scaled(longest, longest, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull()) return refused(QStringLiteral("l'image est illisible (données abîmées)"));
    if (image.width() > longest || image.height() > longest)
        image = image.scaled(longest, longest, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QImage opaque(image.size(), QImage::Format_RGB32);
    opaque.fill(Qt::white);
    QPainter(&opaque).drawImage(0, 0, image);
    return {opaque, {}};
}

std::string coverJpeg(const QImage& image) {
    QImage stored = image;
    if (stored.width() > coverLongestSide || stored.height() > coverLongestSide)
        stored = stored.scaled(coverLongestSide, coverLongestSide, Qt::KeepAspectRatio,
                               Qt::SmoothTransformation);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!stored.save(&buffer, "JPEG", 85)) return {};
    return bytes.toStdString();
}

} // namespace q7
