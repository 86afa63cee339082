#include "pages/FrameCentring.h"

#include "pages/PageDesign.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

namespace tarvex {

void FrameCentring::once(QWidget& window) {
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        new FrameCentring(window);
    }
}

FrameCentring::FrameCentring(QWidget& window) : QObject(&window), window_(window) {
    window.installEventFilter(this);
}

bool FrameCentring::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched != &window_ || (type != QEvent::Move && type != QEvent::Resize) ||
        window_.frameGeometry().size() == window_.size()) {
        return false;
    }
    window_.removeEventFilter(this);
    design::centreFrameOnScreen(&window_);
    deleteLater();
    return false;
}

} // namespace tarvex
