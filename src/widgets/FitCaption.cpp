#include "widgets/FitCaption.h"

#include <QLabel>

void fitCaption(QLabel& label) {
    label.ensurePolished();
    QFont font = label.font();
    const bool points = font.pointSizeF() > 0;
    // Six points is still read; below, cutting is the lesser harm.
    while (label.sizeHint().width() > label.width()) {
        if (points) {
            if (font.pointSizeF() <= 6) break;
            font.setPointSizeF(font.pointSizeF() - 0.5);
        } else {
            if (font.pixelSize() <= 8) break;
            font.setPixelSize(font.pixelSize() - 1);
        }
        label.setFont(font);
    }
}
