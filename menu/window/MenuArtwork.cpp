#include "window/MenuArtwork.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <cmath>

namespace quirra {
namespace {

struct PictureEntry {
    int number;
    QSize size;
};

constexpr PictureEntry kPictures[] = {
    {100, {640, 480}}, {101, {254, 30}}, {102, {257, 32}}, {103, {256, 30}},
    {104, {257, 33}},  {105, {258, 31}}, {106, {82, 28}},
};

QImage renderTransparent(const QString& resource, int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(resource);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, side, side));
    painter.end();
    return image;
}

} // namespace

QSize menuPictureSize(int number) {
    for (const auto& entry : kPictures) {
        if (entry.number == number) {
            return entry.size;
        }
    }
    return {};
}

QImage menuPicture(int number, qreal devicePixelRatio) {
    const QSize size = menuPictureSize(number);
    if (size.isEmpty() || !(devicePixelRatio > 0)) {
        return {};
    }
    // Drawn in logical coordinates onto a canvas of the ratio's pixel size.
    const QSize pixels(static_cast<int>(std::lround(size.width() * devicePixelRatio)),
                       static_cast<int>(std::lround(size.height() * devicePixelRatio)));
    QImage canvas(pixels, QImage::Format_RGB32);
    canvas.setDevicePixelRatio(devicePixelRatio);
    canvas.fill(Qt::white);
    QSvgRenderer renderer(QStringLiteral(":/quirra/%1.svg").arg(number));
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return canvas.convertToFormat(QImage::Format_RGB888);
}

QCursor menuCursor() {
    const QImage hand = renderTransparent(QStringLiteral(":/quirra/cursor.svg"), kCursorSide);
    return QCursor(QPixmap::fromImage(hand), kCursorHotSpot.x(), kCursorHotSpot.y());
}

QIcon menuIcon() {
    QIcon icon;
    for (int side : {16, 32, 64}) {
        icon.addPixmap(
            QPixmap::fromImage(renderTransparent(QStringLiteral(":/quirra/icon.svg"), side)));
    }
    return icon;
}

} // namespace quirra
