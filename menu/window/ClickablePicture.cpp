#include "window/ClickablePicture.h"

#include <QMouseEvent>

namespace quirra {

ClickablePicture::ClickablePicture(QWidget* parent) : QLabel(parent) {}

void ClickablePicture::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void ClickablePicture::mouseReleaseEvent(QMouseEvent* event) {
    // A press that is dragged off the picture before release is no click.
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click) {
        emit clicked();
    }
}

} // namespace quirra
