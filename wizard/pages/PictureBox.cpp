#include "pages/PictureBox.h"

#include <QPainter>

namespace tarvex {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {}

void PictureBox::setPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void PictureBox::paintEvent(QPaintEvent* /*event*/) {
    if (picture_.isNull()) {
        return;
    }
    QSize drawn = picture_.size();
    if (drawn.width() > width() || drawn.height() > height()) {
        drawn.scale(size(), Qt::KeepAspectRatio);
    }
    const QRect target(QPoint((width() - drawn.width()) / 2, (height() - drawn.height()) / 2),
                       drawn);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture_);
}

} // namespace tarvex
