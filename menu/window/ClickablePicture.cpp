#include "window/ClickablePicture.h"

#include "window/ClickablePictureAccessible.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace quirra {
namespace {

// The focus frame: wide enough to see on the white panel and on the blue Exit face alike.
constexpr int kFocusFrameWidth = 2;

} // namespace

ClickablePicture::ClickablePicture(QWidget* parent) : QLabel(parent) {
    ClickablePictureAccessible::install();
    setFocusPolicy(Qt::StrongFocus);
}

void ClickablePicture::click() {
    emit clicked();
}

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

void ClickablePicture::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & ~Qt::KeypadModifier) {
        QLabel::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        // A held key starts the action once, not once per repeat.
        if (!event->isAutoRepeat()) {
            click();
        }
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        focusNextChild();
        break;
    case Qt::Key_Up:
    case Qt::Key_Left:
        focusPreviousChild();
        break;
    default:
        QLabel::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ClickablePicture::focusInEvent(QFocusEvent* event) {
    // The pictures overlap by a pixel or two: the framed one comes on top, or the next one
    // would hide the bottom of its frame.
    raise();
    QLabel::focusInEvent(event);
}

void ClickablePicture::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus()) {
        return;
    }
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Highlight), kFocusFrameWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    const int inset = kFocusFrameWidth / 2;
    painter.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
}

} // namespace quirra
