#include "pages/WindowLook.h"

#include <QLayout>
#include <QWidget>
#include <limits>

namespace tarvex {
namespace {

// Every role and attribute counts as set, so that nothing is taken from a parent.
QPalette whole(QPalette palette) {
    palette.setResolveMask(std::numeric_limits<QPalette::ResolveMask>::max());
    return palette;
}

QFont whole(QFont font) {
    font.setResolveMask(std::numeric_limits<uint>::max());
    return font;
}

} // namespace

WindowLook::WindowLook(const QWidget& dialog)
    : palette_(whole(dialog.palette())), ownPalette_(dialog.palette()), font_(whole(dialog.font())),
      ownFont_(dialog.font()) {
    if (const QLayout* layout = dialog.layout()) {
        margins_ = layout->contentsMargins();
        hasLayout_ = true;
    }
}

void WindowLook::keep(QWidget& dialog) const {
    if (dialog.palette() != palette_ || dialog.palette().resolveMask() != palette_.resolveMask()) {
        dialog.setPalette(palette_);
    }
    if (dialog.font() != font_ || dialog.font().resolveMask() != font_.resolveMask()) {
        dialog.setFont(font_);
    }
    QLayout* layout = dialog.layout();
    if (hasLayout_ && layout != nullptr && layout->contentsMargins() != margins_) {
        layout->setContentsMargins(margins_);
    }
}

void WindowLook::restore(QWidget& dialog) const {
    dialog.setPalette(ownPalette_);
    dialog.setFont(ownFont_);
}

} // namespace tarvex
