#include "pages/FrameCentring.h"

#include "pages/PageDesign.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace tarvex {

namespace {

const QString kName = QStringLiteral("frameCentring");

bool fillsScreen(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle != nullptr &&
           (handle->windowStates() & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0;
}

} // namespace

void FrameCentring::once(QWidget& window) {
    if (QGuiApplication::platformName() != QLatin1String("xcb") ||
        window.findChild<QObject*>(kName, Qt::FindDirectChildrenOnly) != nullptr) {
        return;
    }
    if (framed(window)) {
        design::centreFrameOnScreen(&window);
        return;
    }
    new FrameCentring(window);
}

bool FrameCentring::framed(const QWidget& window) {
    return !fillsScreen(window) && window.frameGeometry().size() != window.size();
}

FrameCentring::FrameCentring(QWidget& window) : QObject(&window), window_(window) {
    setObjectName(kName);
    window.installEventFilter(this);
}

bool FrameCentring::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched != &window_ || (type != QEvent::Move && type != QEvent::Resize) ||
        !framed(window_)) {
        return false;
    }
    window_.removeEventFilter(this);
    // Not found by the next once() while it waits to be deleted.
    setObjectName({});
    design::centreFrameOnScreen(&window_);
    deleteLater();
    return false;
}

} // namespace tarvex
