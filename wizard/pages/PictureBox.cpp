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
    // Centred in the part of the area that lies inside the window: the designs let some
    // areas reach past the window's edge.
    QRect area = rect();
    if (const QWidget* parent = parentWidget()) {
        area = area.intersected(parent->rect().translated(-pos()));
    }
    QSize drawn = picture_.size();
    if (drawn.width() > area.width() || drawn.height() > area.height()) {
        drawn.scale(area.size(), Qt::KeepAspectRatio);
    }
    const QRect target(area.topLeft() + QPoint((area.width() - drawn.width()) / 2,
                                               (area.height() - drawn.height()) / 2),
                       drawn);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture_);
}

} // namespace tarvex
