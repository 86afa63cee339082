#include "pages/DialogOverlay.h"

#include "pages/DialogAnnouncement.h"

#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <algorithm>

namespace tarvex {
namespace {

constexpr int kBorder = 1;
constexpr int kHeadingPadding = 6;
// Marks a widget this class disabled, so that it enables only those again.
constexpr char kInertProperty[] = "tarvexInertUnderDialog";

QLabel* heading(QWidget* card, const QString& title) {
    auto* label = new QLabel(title, card);
    label->setObjectName(QStringLiteral("DialogHeading"));
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setContentsMargins(kHeadingPadding, kHeadingPadding, kHeadingPadding, kHeadingPadding);
    label->setAutoFillBackground(true);
    label->setBackgroundRole(QPalette::Highlight);
    label->setForegroundRole(QPalette::HighlightedText);
    return label;
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
      dialogFlags_(dialog.windowFlags()), card_(new QWidget(this)),
      heading_(heading(card_, dialog.windowTitle())) {
    setObjectName(QStringLiteral("DialogOverlay"));
    card_->setObjectName(QStringLiteral("DialogCard"));
    card_->setAutoFillBackground(true);
    QPalette edge = card_->palette();
    edge.setColor(QPalette::Window, edge.color(QPalette::Dark));
    card_->setPalette(edge);
    if (dialog.accessibleName().isEmpty()) {
        // A window is named by its title; a widget inside one only by this.
        dialog.setAccessibleName(dialog.windowTitle());
    }
    dialog.setParent(card_, Qt::Widget);
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
    settleInertness(window);
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
    const int headingHeight = heading_->sizeHint().height();
    heading_->setGeometry(kBorder, kBorder, inner.width(), headingHeight);
    dialog_->move(kBorder, kBorder + headingHeight);
    QRect box(0, 0, inner.width() + 2 * kBorder, inner.height() + headingHeight + 2 * kBorder);
    box.moveCenter(rect().center());
    card_->setGeometry(box);
}

bool DialogOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == dialog_ && event->type() == QEvent::Show) {
        dialogShown();
    } else if (open_ && (event->type() == QEvent::Resize ||
                         (watched == dialog_ && event->type() == QEvent::Move))) {
        fit();
    }
    return QWidget::eventFilter(watched, event);
}

void DialogOverlay::dialogShown() {
    fit();
    QWidget* first = firstFocus_ != nullptr ? firstFocus_.data() : dialog_.data();
    first->setFocus(Qt::OtherFocusReason);
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
    }
    if (QWidget* window = parentWidget()) {
        settleInertness(*window);
    }
    if (focusBefore_ != nullptr && focusBefore_->isEnabled() && focusBefore_->isVisible()) {
        focusBefore_->setFocus(Qt::OtherFocusReason);
    }
    deleteLater();
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
    // The page behind, dimmed.
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 128));
}

} // namespace tarvex
