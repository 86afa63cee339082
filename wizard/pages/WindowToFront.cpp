#include "pages/WindowToFront.h"

#include "pages/X11Activation.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>

namespace tarvex {

FrontRequestServer::Window WindowToFront(QWidget& window) {
    return {
        [&window](const QByteArray& activationToken) {
            if (!activationToken.isEmpty() &&
                QGuiApplication::platformName() == QLatin1String("wayland")) {
                // Qt's Wayland activation takes the token from here when it activates.
                qputenv("XDG_ACTIVATION_TOKEN", activationToken);
            }
            if (window.isMinimized()) {
                window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
            }
            QWidget* front = QApplication::activeModalWidget();
            if (front == nullptr) {
                front = &window;
            }
            front->raise();
            front->activateWindow();
            ActivateOnX11(*front);
        },
        [] { return QApplication::activeWindow() != nullptr; },
    };
}

} // namespace tarvex
