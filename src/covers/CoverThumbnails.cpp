#include "covers/CoverThumbnails.h"

#include "covers/CoverImage.h"
#include "covers/CoverStore.h"

#include <QElapsedTimer>

namespace {

// Enough for every row of a tall window a few times over.
constexpr int keptThumbnails = 600;
// The share of a frame given to making thumbnails before the window paints again.
constexpr qint64 sliceNs = 8'000'000;
// Rows scrolled past long ago are not made.
constexpr std::size_t longestWait = 200;

} // namespace

CoverThumbnails::CoverThumbnails(const q7::Folder& dataFolder, QSize size, QObject* parent)
    : QObject(parent), folder_(dataFolder), size_(size), kept_(keptThumbnails) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &CoverThumbnails::work);
}

QPixmap CoverThumbnails::get(const std::string& reference) {
    if (const QPixmap* kept = kept_.object(QByteArray::fromStdString(reference))) return *kept;
    if (std::find(waiting_.begin(), waiting_.end(), reference) == waiting_.end()) {
        waiting_.push_back(reference);
        if (waiting_.size() > longestWait) waiting_.erase(waiting_.begin());
    }
    if (!timer_.isActive()) timer_.start(0);
    return {};
}

void CoverThumbnails::clear() {
    kept_.clear();
    waiting_.clear();
    timer_.stop();
}

void CoverThumbnails::work() {
    QElapsedTimer clock;
    clock.start();
    const q7::CoverStore store(folder_);
    bool any = false;
    while (!waiting_.empty() && clock.nsecsElapsed() < sliceNs) {
        const std::string reference = std::move(waiting_.back());
        waiting_.pop_back();
        const QByteArray key = QByteArray::fromStdString(reference);
        if (kept_.contains(key)) continue;
        QPixmap pixmap;
        try {
            if (const std::string path = store.find(reference); !path.empty()) {
                const std::string bytes = store.read(path);
                const q7::ReadImage read = q7::readImage(
                    QByteArrayView(bytes.data(), qsizetype(bytes.size())), size_.height());
                if (read.ok())
                    pixmap = QPixmap::fromImage(
                        read.image.scaled(size_, Qt::KeepAspectRatio, Qt::SmoothTransformation));
            }
        } catch (const std::exception&) {
            // Unreadable: shown as none, and not asked again.
        }
        ++madeCount_;
        kept_.insert(key, new QPixmap(pixmap));
        any = true;
    }
    if (!waiting_.empty()) timer_.start(0);
    if (any) Q_EMIT made();
}
