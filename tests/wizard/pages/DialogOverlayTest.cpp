// Dialogs drawn inside the wizard's window, as under Wayland: each keeps its size, keys, focus,
// screen reader role and answer, stands centred over the page, and the page is inert meanwhile;
// drawn, each is pixel for pixel its window, framed and shadowed over the dimmed page.
#include "pages/DialogOverlay.h"

#include "PageTestSupport.h"
#include "pages/CredentialsPage.h"
#include "pages/DeviceListPage.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace tarvex;
using namespace tarvex::testing;

namespace {

// A box as the wizard builds one: title, text, buttons, and details.
std::function<QDialog*(QWidget*)> box(const char* title, bool cancel,
                                      const char* details = nullptr) {
    return [=](QWidget* owner) {
        auto* made = new QMessageBox(
            QMessageBox::NoIcon, QString::fromUtf8(title), QStringLiteral("Are you sure?"),
            cancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok, owner);
        made->setDefaultButton(QMessageBox::Ok);
        if (cancel) {
            made->setEscapeButton(QMessageBox::Cancel);
        }
        if (details != nullptr) {
            made->setDetailedText(QString::fromUtf8(details));
        }
        return made;
    };
}

// Clicks "Show Details..." where the dialog has it.
void unfold(QDialog& dialog) {
    if (auto* made = qobject_cast<QMessageBox*>(&dialog)) {
        for (QAbstractButton* button : made->buttons()) {
            if (made->buttonRole(button) == QMessageBox::ActionRole) {
                button->click();
            }
        }
    }
}

int lightness(const QImage& image, QPoint at) {
    return QColor(image.pixel(at)).lightness();
}

// As it stands on screen, painted.
QImage shown(QWidget& window, const QRect& area) {
    QApplication::processEvents();
    return window.grab(area).toImage().convertToFormat(QImage::Format_RGB32);
}

// Drawn inside: a frame that stands out from the dialog and from the dimmed page, a shadow
// below and to the right darker than the page merely dimmed, and the whole heading.
void expectFramedShadowedAndHeaded(const DialogOverlay& overlay, QWidget& window,
                                   const QImage& pageAlone) {
    const QImage drawn = shown(window, window.rect());
    const QRect card(overlay.card()->mapTo(&window, QPoint()), overlay.card()->size());
    const QPoint edge(card.left(), card.center().y());
    EXPECT_GT(std::abs(lightness(drawn, edge) - lightness(drawn, edge + QPoint(3, 0))), 40);
    EXPECT_GT(std::abs(lightness(drawn, edge) - lightness(drawn, edge - QPoint(1, 0))), 40);
    for (const QPoint shade : {QPoint(card.center().x(), card.bottom() + 2),
                               QPoint(card.right() + 2, card.center().y())}) {
        EXPECT_LT(lightness(drawn, shade), lightness(pageAlone, shade) / 2 - 8);
    }
    const auto* heading = overlay.card()->findChild<QLabel*>(QStringLiteral("DialogHeading"));
    const QRect room = heading->contentsRect();
    EXPECT_TRUE(room.contains(heading->fontMetrics().boundingRect(
        room, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, heading->text())))
        << "the heading is cut";
}

TEST(DialogOverlay, DrawnInsideTheWindowADialogIsItsWindowAndAnswersAsBeforeOverAnInertPage) {
    Wizard wizard(700);
    StepPage* page = wizard.open(PageId::SetupModePage);
    QWidget* pageFocus = wizard.window.focusWidget();
    const QImage pageAlone = shown(wizard.window, wizard.window.rect());
    const auto list = [&](QWidget* owner) {
        return new DeviceListPage(wizard.flow, {ApplianceRow{}}, owner);
    };
    const auto credentials = [&](QWidget* owner) {
        return new CredentialsPage(wizard.flow, owner);
    };
    const struct {
        const char* name;
        std::function<QDialog*(QWidget* owner)> make;
        Qt::Key key;
        int answer;
        QAccessible::Role role;
        bool unfolded = false;       // "Show Details..." clicked first
        const char* typed = nullptr; // typed first: it replaces what the focused box held
        double desktopPoints = 0;    // the desktop's font size; 0: as it is
    } rows[] = {
        {"exit question, Enter", box("Warning", true), Qt::Key_Return, QMessageBox::Ok,
         QAccessible::AlertMessage},
        {"exit question, Esc", box("Warning", true), Qt::Key_Escape, QMessageBox::Cancel,
         QAccessible::AlertMessage},
        {"no appliance, details shown", box("Tarvex", false, "Firewall: ufw.\n  Fix: allow it."),
         Qt::Key_Return, QMessageBox::Ok, QAccessible::AlertMessage, true},
        {"device list, Enter", list, Qt::Key_Return, QDialog::Accepted, QAccessible::Dialog},
        {"credentials, typed", credentials, Qt::Key_Return, QDialog::Accepted, QAccessible::Dialog,
         false, "admin"},
        // A desktop with a larger font (GNOME's): the heading wraps, nothing of it is cut.
        {"credentials, larger desktop font", credentials, Qt::Key_Return, QDialog::Accepted,
         QAccessible::Dialog, false, nullptr, 14},
    };
    const QFont desktopFont = QApplication::font();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.desktopPoints > 0) {
            QFont larger = desktopFont;
            larger.setPointSizeF(row.desktopPoints);
            QApplication::setFont(larger);
        }
        // Its twin as a window of its own, active as the one on top is.
        const std::unique_ptr<QDialog> twin(row.make(page));
        QDialog* dialog = row.make(page);
        for (QDialog* made : {twin.get(), dialog}) {
            if (auto* modal = qobject_cast<ModalPage*>(made)) {
                modal->pageLoaded();
            }
        }
        twin->show();
        twin->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(twin.get()));
        if (row.unfolded) {
            unfold(*twin);
        }
        const QImage asWindow = shown(*twin, twin->rect());
        twin->hide();
        // Active, as on a desktop with a keyboard: the focus given inside it is the focus.
        QApplication::setActiveWindow(&wizard.window);

        const QString title = dialog->windowTitle();
        const DialogOverlay* overlay = DialogOverlay::cover(*dialog);
        ASSERT_NE(overlay, nullptr);
        bool seen = false;
        QTimer::singleShot(0, dialog, [&] {
            seen = true;
            if (row.unfolded) {
                unfold(*dialog);
            }
            EXPECT_FALSE(dialog->isWindow());
            EXPECT_FALSE(page->isEnabled());
            EXPECT_EQ(dialog->size(), dialog->maximumSize()) << "fixed, as its window was";
            const QRect body(dialog->mapTo(&wizard.window, QPoint()), dialog->size());
            EXPECT_TRUE(shown(wizard.window, body) == asWindow) << "drawn inside, not its window";
            expectFramedShadowedAndHeaded(*overlay, wizard.window, pageAlone);
            const QRect card(overlay->card()->mapTo(&wizard.window, QPoint()),
                             overlay->card()->size());
            EXPECT_LE((card.center() - page->geometry().center()).manhattanLength(), 1);
            EXPECT_EQ(overlay->card()->findChild<QLabel*>(QStringLiteral("DialogHeading"))->text(),
                      title);
            EXPECT_TRUE(dialog->isAncestorOf(wizard.window.focusWidget()));
            EXPECT_FALSE(wizard.window.close()) << "the close box waits for the answer";
            QAccessibleInterface* said = QAccessible::queryAccessibleInterface(dialog);
            EXPECT_EQ(said->role(), row.role);
            EXPECT_EQ(said->text(QAccessible::Name), title);
            if (row.typed != nullptr) {
                QTest::keyClicks(wizard.window.focusWidget(), QString::fromLatin1(row.typed));
                auto* edit = qobject_cast<QLineEdit*>(wizard.window.focusWidget());
                ASSERT_NE(edit, nullptr);
                EXPECT_EQ(edit->text(), QString::fromLatin1(row.typed));
            }
            press(dialog, row.key);
            if (dialog->isVisible()) {
                dialog->done(-1); // the key did not answer it
            }
        });
        EXPECT_EQ(dialog->exec(), row.answer);
        EXPECT_TRUE(seen) << "answered before it was seen";
        EXPECT_TRUE(dialog->isWindow()) << "a hidden window of its owner again";
        EXPECT_TRUE(page->isEnabled());
        EXPECT_EQ(wizard.window.focusWidget(), pageFocus);
        delete dialog;
        QApplication::setFont(desktopFont);
        Wizard::settle();
    }
}

} // namespace
