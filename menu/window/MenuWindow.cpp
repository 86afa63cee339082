#include "window/MenuWindow.h"

#include "core/MenuAction.h"
#include "core/ShellExecute.h"
#include "window/ClickablePicture.h"
#include "window/MenuArtwork.h"

#include <QPainter>
#include <QScreen>

namespace quirra {
namespace {

// The window is laid out in twips; 15 twips make one pixel at 96 dots per inch.
constexpr int kTwipsPerPixel = 15;
constexpr QSize kClientTwips{9564, 7212};

struct PicturePlace {
    int leftTwips;
    int topTwips;
};

// Top-left corners of Image1 to Image6; each shows picture 101 to 106 at its own size.
constexpr PicturePlace kPlaces[] = {
    {4755, 2790}, {4725, 3240}, {4740, 3690}, {4725, 4110}, {4710, 4575}, {4755, 6510},
};

// Rounded to the nearest pixel: the client area is not a whole number of pixels.
constexpr int pixels(int twips) {
    return (2 * twips + kTwipsPerPixel) / (2 * kTwipsPerPixel);
}

} // namespace

MenuWindow::MenuWindow(Launcher& launcher, QString menuFolder, EndProgram endProgram,
                       dravik::Language language, QWidget* parent)
    : QWidget(parent), launcher_(launcher), menuFolder_(std::move(menuFolder)),
      endProgram_(std::move(endProgram)), language_(language) {
    setObjectName(QStringLiteral("MenuWindow"));
    setWindowTitle(QStringLiteral("Menu"));
    setFixedSize(pixels(kClientTwips.width()), pixels(kClientTwips.height()));

    const QCursor hand = menuCursor();
    for (int i = 0; i < static_cast<int>(images_.size()); ++i) {
        auto* image = new ClickablePicture(this);
        image->setObjectName(QStringLiteral("Image%1").arg(i + 1));
        image->move(pixels(kPlaces[i].leftTwips), pixels(kPlaces[i].topTwips));
        image->setCursor(hand);
        images_[static_cast<std::size_t>(i)] = image;
    }
    const std::array<void (MenuWindow::*)(), 6> handlers = {
        &MenuWindow::Image1_Click, &MenuWindow::Image2_Click, &MenuWindow::Image3_Click,
        &MenuWindow::Image4_Click, &MenuWindow::Image5_Click, &MenuWindow::Image6_Click,
    };
    for (std::size_t i = 0; i < images_.size(); ++i) {
        connect(images_[i], &ClickablePicture::clicked, this, handlers[i]);
    }

    pageLoaded();

    if (const QScreen* screen = this->screen()) {
        QRect centred = rect();
        centred.moveCenter(screen->availableGeometry().center());
        move(centred.topLeft());
    }
}

void MenuWindow::pageLoaded() {
    // Drawn for the screen the menu opens on, so the pictures stay sharp at any scale.
    const qreal ratio = devicePixelRatioF();
    picture_ = menuPicture(100, ratio, language_);
    update();
    for (std::size_t i = 0; i < images_.size(); ++i) {
        const QImage image = menuPicture(101 + static_cast<int>(i), ratio, language_);
        images_[i]->setPixmap(QPixmap::fromImage(image));
        images_[i]->resize(image.deviceIndependentSize().toSize());
        images_[i]->setAccessibleName(menuPictureLabel(101 + static_cast<int>(i), language_));
    }
}

void MenuWindow::RunShellExecute(const QString& sTopic, const QVariant& sFile,
                                 const QVariant& sParams, const QVariant& sDirectory,
                                 qint32 nShowCmd) {
    quirra::RunShellExecute(launcher_, sTopic, sFile, sParams, sDirectory, nShowCmd);
}

void MenuWindow::runAction(int imageNumber) {
    if (const auto request = shellRequestFor(imageNumber, menuFolder_)) {
        RunShellExecute(request->verb, request->file, request->params, request->directory,
                        request->showCmd);
    }
}

void MenuWindow::Image1_Click() {
    runAction(1);
}
void MenuWindow::Image2_Click() {
    runAction(2);
}
void MenuWindow::Image3_Click() {
    runAction(3);
}
void MenuWindow::Image4_Click() {
    runAction(4);
}
void MenuWindow::Image5_Click() {
    runAction(5);
}

void MenuWindow::Image6_Click() {
    close();
}

void MenuWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    endProgram_();
}

void MenuWindow::paintEvent(QPaintEvent* event) {
    static_cast<void>(event);
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), picture_);
    // The client area is a pixel taller than the picture: its last row continues into the strip
    // so the picture's edge does not show. The source row is in the picture's own pixels.
    const QSize size = picture_.deviceIndependentSize().toSize();
    if (!picture_.isNull() && height() > size.height()) {
        const QRect lastRow(0, picture_.height() - 1, picture_.width(), 1);
        painter.drawImage(QRect(0, size.height(), size.width(), height() - size.height()), picture_,
                          lastRow);
    }
}

} // namespace quirra
