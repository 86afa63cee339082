#include "pages/MessageBoxDialogs.h"

#include "pages/DialogOverlay.h"
#include "pages/OpenModal.h"

#include <QAbstractButton>
#include <QFontMetricsF>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <utility>

namespace tarvex {
namespace {

// An indented line of the details is an item under the line before it, with a label ("  Fix: "):
// where it wraps, its lines hang under the text after the label.
void hangIndentedLines(QTextEdit& edit) {
    static const QRegularExpression label(QStringLiteral("^\\s+[^:\\x{FF1A}]*[:\\x{FF1A}]\\s*"));
    const QFontMetricsF metrics(edit.document()->defaultFont());
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next()) {
        const QRegularExpressionMatch found = label.match(block.text());
        if (!found.hasMatch()) {
            continue;
        }
        const qreal hang = metrics.horizontalAdvance(found.captured());
        QTextBlockFormat format = block.blockFormat();
        format.setLeftMargin(hang);
        format.setTextIndent(-hang);
        QTextCursor(block).setBlockFormat(format);
    }
}

void showDetails(QMessageBox& box, const QString& details) {
    if (details.isEmpty()) {
        return;
    }
    box.setDetailedText(details);
    if (auto* edit = box.findChild<QTextEdit*>()) {
        hangIndentedLines(*edit);
    }
    // "Show Details..." only folds and unfolds: the focus goes back to the default button, so
    // that Enter still answers the box rather than folding the details again.
    for (QAbstractButton* button : box.buttons()) {
        if (box.buttonRole(button) == QMessageBox::ActionRole) {
            QObject::connect(button, &QAbstractButton::clicked, &box, [target = &box] {
                if (QPushButton* answer = target->defaultButton()) {
                    answer->setFocus(Qt::OtherFocusReason);
                }
            });
        }
    }
}

void build(QMessageBox& box, const Message& message) {
    box.setWindowTitle(message.title.value_or(QString::fromLatin1(kProgramTitle)));
    box.setText(message.text);
    // Details found later join the box that is already up.
    message.details.whenReady([target = QPointer<QMessageBox>(&box)](const QString& details) {
        if (target != nullptr) {
            showDetails(*target, details);
        }
    });
    box.setIcon(message.icon == MessageIcon::Exclamation ? QMessageBox::Warning
                                                         : QMessageBox::NoIcon);
    if (message.buttons == MessageButtons::OkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    }
}

MessageAnswer answerOf(int result) {
    return result == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

} // namespace

MessageBoxDialogs::MessageBoxDialogs(ParentSource parent) : parent_(std::move(parent)) {}

QWidget* MessageBoxDialogs::parent() const {
    return parent_ ? parent_() : nullptr;
}

MessageAnswer MessageBoxDialogs::showMessage(const Message& message) {
    // Parented, the box is transient for the wizard's window; under Wayland, where that does
    // not place it, it is drawn inside the window.
    QMessageBox box(parent());
    build(box, message);
    DialogOverlay::placeOverWizard(box);
    return answerOf(box.exec());
}

void MessageBoxDialogs::ask(const Message& message, Answered done) {
    // Goes with its parent: a box over a modal page that is gone is never answered.
    auto* box = new QMessageBox(parent());
    box->setAttribute(Qt::WA_DeleteOnClose);
    build(*box, message);
    DialogOverlay::placeOverWizard(*box);
    QObject::connect(box, &QMessageBox::finished, box,
                     [done = std::move(done)](int result) { done(answerOf(result)); });
    openApplicationModal(*box);
}

} // namespace tarvex
