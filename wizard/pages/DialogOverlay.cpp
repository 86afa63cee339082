#include "pages/DialogOverlay.h"

#include "pages/DialogAnnouncement.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <algorithm>

namespace tarvex {
namespace {

constexpr int kBorder = 1;
constexpr int kHeadingPadding = 6;
// How far the card's shadow reaches past its lower and right edges.
constexpr int kShadow = 6;
// Marks a widget this class disabled, so that it enables only those again.
constexpr char kInertProperty[] = "tarvexInertUnderDialog";

QLabel* heading(QWidget* card, const QString& title) {
    auto* label = new QLabel(title, card);
    label->setObjectName(QStringLiteral("DialogHeading"));
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setContentsMargins(kHeadingPadding, kHeadingPadding, kHeadingPadding, kHeadingPadding);
    // A title wider than the dialog (a larger desktop font) wraps rather than being cut.
    label->setWordWrap(true);
    label->setAutoFillBackground(true);
    label->setBackgroundRole(QPalette::Highlight);
    label->setForegroundRole(QPalette::HighlightedText);
    return label;
}

// The first control the keyboard reaches in the window, as a window activated without a focus
// gives it the focus; null when there is none.
QWidget* firstControl(QWidget& window) {
    for (QWidget* widget = window.nextInFocusChain(); widget != &window;
         widget = widget->nextInFocusChain()) {
        if ((widget->focusPolicy() & Qt::TabFocus) != 0 && widget->isEnabled() &&
            widget->isVisibleTo(&window) && !widget->isWindow()) {
            return widget;
        }
    }
    return nullptr;
}

} // namespace

bool DialogOverlay::wanted() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void DialogOverlay::placeOverWizard(QDialog& dialog) {
    if (wanted()) {
        cover(dialog);
    }
}

DialogOverlay* DialogOverlay::cover(QDialog& dialog) {
    QWidget* owner = dialog.parentWidget();
    if (owner == nullptr) {
        return nullptr;
    }
    return new DialogOverlay(*owner->window(), dialog);
}

bool DialogOverlay::covers(const QWidget& window) {
    const QList<DialogOverlay*> overlays =
        window.findChildren<DialogOverlay*>(Qt::FindDirectChildrenOnly);
    return std::any_of(overlays.begin(), overlays.end(),
                       [](const DialogOverlay* overlay) { return overlay->open_; });
}

QWidget* DialogOverlay::topmostPage(const QWidget& window) {
    QWidget* top = nullptr;
    for (QObject* child : window.children()) {
        auto* overlay = qobject_cast<DialogOverlay*>(child);
        if (overlay != nullptr && overlay->open_ && overlay->dialog_ != nullptr &&
            qobject_cast<QMessageBox*>(overlay->dialog_) == nullptr) {
            top = overlay->dialog_;
        }
    }
    return top;
}

DialogOverlay::DialogOverlay(QWidget& window, QDialog& dialog)
    : QWidget(&window), dialog_(&dialog), owner_(dialog.parentWidget()),
      focusBefore_(window.focusWidget()), firstFocus_(dialog.focusWidget()),
      dialogFlags_(dialog.windowFlags()), look_(dialog), card_(new QWidget(this)),
      heading_(heading(card_, dialog.windowTitle())) {
    setObjectName(QStringLiteral("DialogOverlay"));
    // The card paints nothing itself: its frame and any room beside the dialog are painted
    // here, so that no colour of the card reaches the dialog.
    card_->setObjectName(QStringLiteral("DialogCard"));
    if (dialog.accessibleName().isEmpty()) {
        // A window is named by its title; a widget inside one only by this.
        dialog.setAccessibleName(dialog.windowTitle());
    }
    dialog.setParent(card_, Qt::Widget);
    look_.keep(dialog);
    dialog.setAutoFillBackground(true);
    // Placed: a dialog not yet moved would centre itself over its parent as a window does.
    dialog.move(kBorder, kBorder + heading_->sizeHint().height());
    dialog.installEventFilter(this);
    window.installEventFilter(this);
    connect(&dialog, &QDialog::finished, this, &DialogOverlay::dialogFinished);
    if (owner_ != nullptr && owner_ != &window) {
        // Goes with its owner, as a dialog parented to it would.
        connect(owner_.data(), &QObject::destroyed, this, [this] { delete this; });
    }
    fit();
    raise();
    show();
}

DialogOverlay::~DialogOverlay() {
    QWidget* window = parentWidget();
    if (window == nullptr) {
        return;
    }
    window->removeEventFilter(this);
    // Gone with its owner while up: the page is no longer behind a dialog.
    if (open_) {
        open_ = false;
        settleInertness(*window);
    }
}

void DialogOverlay::fit() {
    if (QWidget* window = parentWidget()) {
        setGeometry(window->rect());
    }
    if (dialog_ == nullptr) {
        return;
    }
    const QSize inner = dialog_->size();
    // Wider than the dialog only for a title with a word wider than it.
    const int width = std::max(inner.width(), heading_->minimumSizeHint().width());
    const int headingHeight = heading_->heightForWidth(width);
    heading_->setGeometry(kBorder, kBorder, width, headingHeight);
    dialog_->move(kBorder + (width - inner.width()) / 2, kBorder + headingHeight);
    QRect box(0, 0, width + 2 * kBorder, inner.height() + headingHeight + 2 * kBorder);
    box.moveCenter(rect().center());
    card_->setGeometry(box);
    update();
}

bool DialogOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == dialog_ && event->type() == QEvent::Show) {
        dialogShown();
    } else if (watched == dialog_ && event->type() == QEvent::LayoutRequest && open_) {
        look_.keep(*dialog_);
    } else if (open_ && (event->type() == QEvent::Resize ||
                         (watched == dialog_ && event->type() == QEvent::Move))) {
        fit();
    }
    return QWidget::eventFilter(watched, event);
}

void DialogOverlay::dialogShown() {
    fit();
    QWidget* first = firstFocus_ != nullptr ? firstFocus_.data() : dialog_.data();
    // What had the focus loses it as to another window, keeping a text box's selection...
    first->setFocus(Qt::ActiveWindowFocusReason);
    // ...and the dialog's first control is told what a window's first focus tells it: a text
    // box selects its contents, so that typing replaces them.
    QFocusEvent firstFocus(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(first, &firstFocus);
    // Inert only now, the focus moved: disabling takes the focus as no window change does.
    if (QWidget* window = parentWidget()) {
        settleInertness(*window);
    }
    announceDialogOpened(*dialog_);
}

void DialogOverlay::dialogFinished() {
    if (!open_) {
        return;
    }
    open_ = false;
    hide();
    if (dialog_ != nullptr) {
        dialog_->removeEventFilter(this);
        // A hidden window of its owner again: whoever holds it deletes it as before.
        dialog_->setParent(owner_, dialogFlags_);
        look_.restore(*dialog_);
    }
    if (QWidget* window = parentWidget()) {
        settleInertness(*window);
        giveFocusBack(*window);
    }
    deleteLater();
}

void DialogOverlay::giveFocusBack(QWidget& window) {
    QWidget* focus = focusBefore_;
    if (focus == nullptr || !focus->isEnabled() || !focus->isVisible() ||
        (focus->focusPolicy() == Qt::NoFocus && firstControl(window) != nullptr)) {
        focus = firstControl(window);
    }
    if (focus != nullptr) {
        focus->setFocus(Qt::ActiveWindowFocusReason);
    }
}

void DialogOverlay::settleInertness(QWidget& window) {
    QWidget* top = nullptr;
    for (QObject* child : window.children()) {
        auto* overlay = qobject_cast<DialogOverlay*>(child);
        if (overlay != nullptr && overlay->open_) {
            top = overlay;
        }
    }
    for (QObject* child : window.children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget == nullptr || widget->isWindow() || widget == top) {
            continue;
        }
        if (top != nullptr && widget->isEnabled()) {
            widget->setEnabled(false);
            widget->setProperty(kInertProperty, true);
        } else if (top == nullptr && widget->property(kInertProperty).toBool()) {
            widget->setProperty(kInertProperty, QVariant());
            widget->setEnabled(true);
        }
    }
    if (top != nullptr && top->property(kInertProperty).toBool()) {
        top->setProperty(kInertProperty, QVariant());
        top->setEnabled(true);
    }
}

void DialogOverlay::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    // The page behind, dimmed.
    painter.fillRect(rect(), QColor(0, 0, 0, 128));
    const QRect card = card_->geometry();
    // A soft shadow, darkest next to the card, cast a little downwards.
    for (int spread = kShadow; spread > 0; --spread) {
        painter.fillRect(card.adjusted(-spread + 2, -spread + 3, spread, spread),
                         QColor(0, 0, 0, 14 + 4 * (kShadow - spread)));
    }
    // The dialog's own colour where the card is wider than the dialog, inside a frame that
    // stands out against both the dimmed page and the dialog.
    const QPalette& look = dialog_ != nullptr ? dialog_->palette() : palette();
    painter.fillRect(card, look.color(QPalette::Window));
    painter.fillRect(card, look.color(QPalette::Dark));
    painter.fillRect(card.adjusted(kBorder, kBorder, -kBorder, -kBorder),
                     look.color(QPalette::Window));
}

} // namespace tarvex
