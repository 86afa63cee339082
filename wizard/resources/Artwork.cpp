#include "resources/Artwork.h"

#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

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

QImage renderSvg(const QString& resource, QSize size) {
    QImage canvas(size, QImage::Format_RGB32);
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

QImage CatalogPicture(int number) {
    const QSize size = pictureSize(number);
    if (size.isEmpty()) {
        return {};
    }
    // Drawn once per run: text in the artwork can come out a pixel apart from one rendering to
    // the next as the font caches fill, and a page must look the same on every visit.
    static QHash<int, QImage> drawn;
    const auto found = drawn.constFind(number);
    if (found != drawn.constEnd()) {
        return *found;
    }
    QImage picture = renderSvg(QStringLiteral(":/tarvex/art/%1.svg").arg(number), size);
    drawn.insert(number, picture);
    return picture;
}

QIcon programIcon() {
    QIcon icon;
    for (int side : {16, 32}) {
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
