#include "output/Thumbnails.h"

#include "covers/CoverImage.h"
#include "covers/CoverNames.h"
#include "output/PocketPage.h"
#include "store/Errors.h"

#include <QBuffer>
#include <QImage>
#include <QLocale>

namespace {

constexpr int thumbnailWidth = 60;
constexpr int thumbnailHeight = 90;

std::string lower(std::string text) {
    for (char& c : text)
        c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
}

} // namespace

Covers::Covers(const q7::DataFile& data) : fs_(data.folder().fs()) {
    const q7::Folder& folder = data.folder();
    if (!folder.exists(q7::coversFolderName)) return;
    dir_ = folder.path(q7::coversFolderName);
    try {
        for (std::string& name : fs_.list(dir_)) {
            const std::string key = lower(name);
            if (key.size() > 4 && key.ends_with(".jpg")) files_.emplace(key, std::move(name));
        }
    } catch (const q7::IoError&) {
        files_.clear(); // a folder that cannot be read has no cover to offer
    }
    if (!files_.empty()) owners_ = q7::coverOwners(data);
}

std::uint64_t Covers::pageBytesBound() const {
    return std::uint64_t(count()) * q7::thumbnailPageBytes;
}

std::string Covers::thumbnail(std::string_view reference) const {
    const auto at = files_.find(lower(q7::coverFileName(reference)));
    if (at == files_.end() || q7::ownersOf(owners_, reference) != 1) return {};
    std::string bytes;
    try {
        bytes = q7::CoverStore::readFile(fs_, dir_ + "/" + at->second);
    } catch (const q7::Error&) {
        return {};
    }
    QImage image =
        q7::readImage(QByteArrayView(bytes.data(), qsizetype(bytes.size())), thumbnailHeight).image;
    if (image.isNull()) return {};
    if (image.width() > thumbnailWidth || image.height() > thumbnailHeight)
        image = image.scaled(thumbnailWidth, thumbnailHeight, Qt::KeepAspectRatio,
                             Qt::SmoothTransformation);
    // Coarser until it fits; a cover that never does is left out rather than the limit.
    for (int quality : {70, 50, 30}) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "JPEG", quality)) return {};
        if (std::size_t(bytes.size()) <= q7::thumbnailBytes) return bytes.toStdString();
    }
    return {};
}

QString readableSize(std::uint64_t bytes) {
    const QLocale french(QLocale::French, QLocale::France);
    if (bytes < 1000 * 1000)
        return QStringLiteral("%1 Ko").arg(std::max<std::uint64_t>(1, (bytes + 999) / 1000));
    return QStringLiteral("%1 Mo").arg(french.toString(double(bytes) / 1e6, 'f', 1));
}

QString coversCost(const Covers& covers) {
    if (covers.count() == 0) return QStringLiteral("(aucune dans Couvertures)");
    return QStringLiteral("(%1 %2 : %3 au plus)")
        .arg(QLocale(QLocale::French, QLocale::France).toString(covers.count()),
             covers.count() > 1 ? QStringLiteral("couvertures") : QStringLiteral("couverture"),
             readableSize(covers.pageBytesBound()));
}
