#include "covers/CoverPanel.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QUrl>
#include <QVBoxLayout>

CoverPanel::CoverPanel(QWidget* parent)
    : QFrame(parent), picture_(new QLabel(this)), note_(new QLabel(this)) {
    setObjectName(QStringLiteral("pnlcouverture"));
    setFrameShape(QFrame::NoFrame);
    setAcceptDrops(true);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    picture_->setObjectName(QStringLiteral("imgcouverture"));
    picture_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    picture_->setMinimumSize(1, 1);
    note_->setObjectName(QStringLiteral("lblcouverture"));
    note_->setWordWrap(true);
    note_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    note_->setForegroundRole(QPalette::PlaceholderText);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(picture_, 1);
    layout->addWidget(note_);
    setAccessibleName(QStringLiteral("Couverture"));
    showNone({});
}

void CoverPanel::showCover(const QImage& image, const QString& spoken, const QString& note) {
    image_ = image;
    picture_->setAccessibleName(spoken);
    picture_->setToolTip(spoken);
    note_->setText(note);
    fit();
}

void CoverPanel::showNone(const QString& note) {
    image_ = QImage();
    picture_->clear();
    picture_->setAccessibleName(QStringLiteral("Pas de couverture"));
    picture_->setToolTip({});
    note_->setText(note);
}

QString CoverPanel::note() const {
    return note_->text();
}

void CoverPanel::setAccepting(bool on) {
    accepting_ = on;
}

void CoverPanel::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    fit();
}

void CoverPanel::fit() {
    if (image_.isNull()) return;
    const QSize room = picture_->contentsRect().size();
    if (room.isEmpty()) return;
    const qreal ratio = devicePixelRatioF();
    QImage shown = image_;
    if (image_.width() > room.width() * ratio || image_.height() > room.height() * ratio)
        shown = image_.scaled(room * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPixmap pixmap = QPixmap::fromImage(shown);
    pixmap.setDevicePixelRatio(ratio);
    picture_->setPixmap(pixmap);
}

void CoverPanel::dragEnterEvent(QDragEnterEvent* event) {
    if (accepting_ && carriesPicture(*event->mimeData())) event->acceptProposedAction();
}

void CoverPanel::dropEvent(QDropEvent* event) {
    if (!accepting_ || !onDrop) return;
    event->acceptProposedAction();
    onDrop(*event->mimeData());
}

bool carriesPicture(const QMimeData& data) {
    if (data.hasImage()) return true;
    for (const QString& format : data.formats())
        if (format.startsWith(u"image/")) return true;
    const QList<QUrl> urls = data.urls();
    return urls.size() == 1 && urls.front().isLocalFile();
}
