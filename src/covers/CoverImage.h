#pragma once
// Pictures from anywhere (a service's answer, a file, the clipboard, a drop) read in
// bounded time and memory, whatever their bytes claim: a picture declaring 50 000 × 50 000
// pixels, a JPEG cut short, a web page instead of an image are refused with the reason,
// before anything is decoded or written.
#include <QByteArrayView>
#include <QImage>
#include <QString>

#include <string>

namespace q7 {

// A cover is kept at this size at most, its longest side in pixels.
inline constexpr int coverLongestSide = 600;
// Heavier than this, bytes are not even looked at: a cover is some hundred kilobytes, a
// phone's photo a few megabytes.
inline constexpr qsizetype maxImageBytes = qsizetype(32) * 1024 * 1024;
// A phone's largest photos (8160 × 6120) fit; a bomb declaring more is refused unread.
inline constexpr qint64 maxImagePixels = 50'000'000;

struct ReadImage {
    QImage image;    // opaque, its longest side at most the one asked; null when refused
    QString problem; // French, for "… : <problem>." ("c'est une page web, pas une image")
    bool ok() const { return !image.isNull(); }
};

// JPEG, PNG, GIF or BMP (and WebP where Qt reads it), turned upright as the camera says,
// made smaller to `longest` pixels on its longest side, transparency laid on white.
ReadImage readImage(QByteArrayView bytes, int longest = coverLongestSide);

// The picture as a cover is stored: JPEG, its longest side at most coverLongestSide.
std::string coverJpeg(const QImage& image);

// Whether the bytes hold a whole JPEG, or a whole PNG: a file cut short still decodes,
// grey or black where its end is missing.
bool wholeJpeg(QByteArrayView bytes);
bool wholePng(QByteArrayView bytes);

} // namespace q7
