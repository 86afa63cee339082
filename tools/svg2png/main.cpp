// Renders an SVG icon as a square PNG of the given side, for the icon theme's fixed sizes.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    bool sideOk = false;
    const int side = arguments.value(3).toInt(&sideOk);
    if (arguments.size() != 4 || !sideOk || side <= 0) {
        std::fprintf(stderr, "usage: svg2png <input.svg> <output.png> <side>\n");
        return 2;
    }
    QSvgRenderer renderer(arguments.at(1));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "svg2png: cannot read %s\n", qPrintable(arguments.at(1)));
        return 1;
    }
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, side, side));
    painter.end();
    if (!image.save(arguments.at(2), "PNG")) {
        std::fprintf(stderr, "svg2png: cannot write %s\n", qPrintable(arguments.at(2)));
        return 1;
    }
    return 0;
}
