#pragma once

#include <QObject>

class QWidget;

namespace tarvex {

// Centres a window on the screen by its frame once a window manager has framed it: placed
// before that by its own size, it would sit lower by the title bar's height. Goes once it has
// done so, or with the window.
class FrameCentring final : public QObject {
public:
    // Under X11 only: elsewhere no frame is known, or the compositor places windows itself.
    static void once(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit FrameCentring(QWidget& window);
    QWidget& window_;
};

} // namespace tarvex
