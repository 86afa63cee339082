#include "artwork/Artwork.h"

#include <QPainter>
#include <QSvgRenderer>
#include <cmath>
#include <map>
#include <utility>

namespace tarvex {
namespace {

struct PictureEntry {
    int number;
    QSize size;
};

constexpr PictureEntry kPictures[] = {
    {101, {652, 347}}, {102, {652, 347}}, {103, {652, 347}},
    {104, {57, 60}},   {105, {57, 60}},   {106, {57, 60}},
};

// Drawn in logical coordinates onto a canvas of the ratio's pixel size.
QImage renderSvg(const QString& resource, QSize size, qreal ratio) {
    const QSize pixels(static_cast<int>(std::lround(size.width() * ratio)),
                       static_cast<int>(std::lround(size.height() * ratio)));
    QImage canvas(pixels, QImage::Format_RGB32);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(Qt::white);
    QSvgRenderer renderer(resource);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return canvas.convertToFormat(QImage::Format_RGB888);
}

} // namespace

QSize pictureSize(int number) {
    for (const auto& entry : kPictures) {
        if (entry.number == number) {
            return entry.size;
        }
    }
    return {};
}

QImage CatalogPicture(int number, qreal devicePixelRatio) {
    const QSize size = pictureSize(number);
    if (size.isEmpty() || !(devicePixelRatio > 0)) {
        return {};
    }
    // Drawn once per run and ratio: text in the artwork can come out a pixel apart from one
    // rendering to the next as the font caches fill, and a page must look the same on every
    // visit.
    static std::map<std::pair<int, qreal>, QImage> drawn;
    const auto key = std::make_pair(number, devicePixelRatio);
    const auto found = drawn.find(key);
    if (found != drawn.end()) {
        return found->second;
    }
    QImage picture =
        renderSvg(QStringLiteral(":/tarvex/art/%1.svg").arg(number), size, devicePixelRatio);
    drawn.emplace(key, picture);
    return picture;
}

QIcon programIcon() {
    QIcon icon;
    for (int side : {16, 32, 64}) {
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QSvgRenderer renderer(QStringLiteral(":/tarvex/art/icon.svg"));
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace tarvex
