#pragma once
// The cover beside the record window's form: the picture made to fit, a line under it, and
// what a screen reader says of it. A picture file or an image dropped on it is handed to
// whoever takes covers; its menu holds the record window's cover commands.
#include <QFrame>
#include <QImage>

#include <functional>

class QLabel;
class QMimeData;

class CoverPanel : public QFrame {
    Q_OBJECT
public:
    explicit CoverPanel(QWidget* parent = nullptr);

    // `spoken`: "<title>, couverture". `note`: the line under it, empty for none.
    void showCover(const QImage& image, const QString& spoken, const QString& note);
    // No picture, nothing drawn in its place; `note` says why when there is a reason.
    void showNone(const QString& note);
    bool showsCover() const { return !image_.isNull(); }
    QString note() const;

    // Whether drops are taken now (the record can be changed).
    void setAccepting(bool on);
    std::function<void(const QMimeData&)> onDrop;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void fit();
    QImage image_;
    QLabel* picture_;
    QLabel* note_;
    bool accepting_ = false;
};

// Whether a drag carries what can become a cover: a local file, or an image.
bool carriesPicture(const QMimeData& data);
