#pragma once
// Small pictures of covers for a list of thousands of books: made only for the rows a view
// paints, a few milliseconds at a time after the paint, and kept for a few hundred books.
// A key typed in a filter never waits for a picture.
#include "store/Folder.h"

#include <QCache>
#include <QObject>
#include <QPixmap>
#include <QTimer>

#include <string>
#include <vector>

class CoverThumbnails : public QObject {
    Q_OBJECT
public:
    CoverThumbnails(const q7::Folder& dataFolder, QSize size, QObject* parent = nullptr);

    // The thumbnail of a reference's cover when made; otherwise a null pixmap, and it is
    // made soon (`made` says when). A cover that cannot be read stays a null pixmap.
    QPixmap get(const std::string& reference);
    QSize size() const { return size_; }
    void clear();
    // How many were made from their files (a benchmark checks that scrolling makes no more
    // than it shows).
    int madeCount() const { return madeCount_; }

Q_SIGNALS:
    void made();

private:
    void work();

    q7::Folder folder_;
    QSize size_;
    QCache<QByteArray, QPixmap> kept_; // by reference as stored
    std::vector<std::string> waiting_; // the last asked first
    QTimer timer_;
    int madeCount_ = 0;
};
