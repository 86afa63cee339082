#include "pages/PictureBox.h"

#include "artwork/Artwork.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>

namespace tarvex {
namespace {

// A plain widget reports itself as a client area; a picture area is a graphic. Name and
// description come from the widget's accessible name and description.
QAccessibleInterface* pictureBoxInterface(const QString& className, QObject* object) {
    if (className == QLatin1String(PictureBox::staticMetaObject.className()) &&
        object->isWidgetType()) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
    }
    return nullptr;
}

} // namespace

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(pictureBoxInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

void PictureBox::setPicture(StepPicture picture, dravik::Language language) {
    shown_ = picture;
    language_ = language;
    picture_ = QImage();
    update();
}

void PictureBox::setPicture(const QImage& picture) {
    shown_.reset();
    picture_ = picture;
    update();
}

QImage PictureBox::picture() const {
    // A catalog bitmap is only drawn when it is first needed, at the ratio of the screen.
    return shown_ ? CatalogPicture(*shown_, devicePixelRatioF(), language_) : picture_;
}

void PictureBox::paintEvent(QPaintEvent* /*event*/) {
    const QImage shown = picture();
    if (shown.isNull()) {
        return;
    }
    // Centred in the part of the area that lies inside the window: the designs let some
    // areas reach past the window's edge.
    QRect area = rect();
    if (const QWidget* parent = parentWidget()) {
        area = area.intersected(parent->rect().translated(-pos()));
    }
    QSize drawn = shown.deviceIndependentSize().toSize();
    if (drawn.width() > area.width() || drawn.height() > area.height()) {
        drawn.scale(area.size(), Qt::KeepAspectRatio);
    }
    const QRect target(area.topLeft() + QPoint((area.width() - drawn.width()) / 2,
                                               (area.height() - drawn.height()) / 2),
                       drawn);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, shown);
}

} // namespace tarvex
