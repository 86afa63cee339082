#include "SvgDrawing.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <cmath>
#include <map>
#include <tuple>

namespace dravik {

QString wordedPictureSource(const QString& folder, const QString& name, Language language) {
    const QString inLanguage =
        language == Language::TraditionalChinese ? QStringLiteral("/zh_TW/") : QStringLiteral("/");
    return folder + inLanguage + name + QStringLiteral(".svg");
}

QImage drawPicture(const QString& source, QSize size, qreal devicePixelRatio) {
    // Text in a picture can come out a pixel apart from one drawing to the next as the font
    // caches fill, and a window must look the same every time it is shown.
    static std::map<std::tuple<QString, int, int, qreal>, QImage> drawn;
    const auto key = std::make_tuple(source, size.width(), size.height(), devicePixelRatio);
    if (const auto found = drawn.find(key); found != drawn.end()) {
        return found->second;
    }
    // Drawn in logical coordinates onto a canvas of the ratio's pixel size.
    const QSize pixels(static_cast<int>(std::lround(size.width() * devicePixelRatio)),
                       static_cast<int>(std::lround(size.height() * devicePixelRatio)));
    QImage canvas(pixels, QImage::Format_RGB32);
    canvas.setDevicePixelRatio(devicePixelRatio);
    canvas.fill(Qt::white);
    QSvgRenderer renderer(source);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    QImage picture = canvas.convertToFormat(QImage::Format_RGB888);
    drawn.emplace(key, picture);
    return picture;
}

QImage drawTransparent(const QString& source, int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(source);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, side, side));
    painter.end();
    return image;
}

QIcon programIconFrom(const QString& source) {
    QIcon icon;
    for (int side : {16, 32, 64}) {
        icon.addPixmap(QPixmap::fromImage(drawTransparent(source, side)));
    }
    return icon;
}

} // namespace dravik
