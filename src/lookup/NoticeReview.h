#pragma once
// What a lookup found, shown before anything is used: each field it would fill with its
// current and found values and a tick; OK hands back the ticks.
#include <QDialog>
#include <QImage>

#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

class NoticeReview : public QDialog {
    Q_OBJECT
public:
    struct Row {
        QString caption, current, found;
        bool ticked = false;
    };

    explicit NoticeReview(QWidget* parent = nullptr);

    // `origin`: which source answered and its identifier for the record.
    void setContent(const QString& origin, const std::vector<Row>& rows,
                    const QStringList& remarks);
    // Says that the catalogue holds the book already; Ctrl+D, or the button, runs `show`.
    void setHeld(const QString& text, std::function<void()> show);
    std::vector<bool> ticks() const;
    QTableWidget& table() const { return *table_; }

    // The found book's cover beside the fields: asked (`note` says of whom), come (shown
    // with a tick, ticked; `spoken` is what a screen reader says of it), or not to be had.
    void coverAsked(const QString& note);
    void setCover(const QImage& image, const QString& spoken);
    void coverMissing(const QString& why);
    // The cover come and ticked; null otherwise.
    QImage takenCover() const;

private:
    QLabel* origin_;
    QTableWidget* table_;
    QLabel* remarks_;
    QLabel* held_;
    QPushButton* showHeld_;
    std::function<void()> show_;
    QWidget* coverBox_;
    QLabel* coverPicture_;
    QLabel* coverNote_;
    QCheckBox* coverTick_;
    QImage cover_;
};
