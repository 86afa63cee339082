#pragma once

#include <QObject>

class QWidget;

namespace tarvex {

// Centres a window on the screen by its frame once a window manager has framed it: placed
// before that by its own size, it would sit lower by the title bar's height. At once when the
// window is framed already; a window that fills the screen is left where the manager put it.
// Goes once it has centred the window, or with the window; one at a time a window.
class FrameCentring final : public QObject {
public:
    // Under X11 only: elsewhere no frame is known, or the compositor places windows itself.
    static void once(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit FrameCentring(QWidget& window);
    [[nodiscard]] static bool framed(const QWidget& window);
    QWidget& window_;
};

} // namespace tarvex
