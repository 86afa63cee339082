// Dialogs drawn inside the wizard's window, as under Wayland: each keeps its size, keys, focus,
// screen reader role and answer, stands centred over the page, and the page is inert meanwhile.
#include "pages/DialogOverlay.h"

#include "PageTestSupport.h"
#include "pages/CredentialsPage.h"
#include "pages/DeviceListPage.h"

#include <QAccessible>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace tarvex;
using namespace tarvex::testing;

namespace {

QDialog* exitQuestion(QWidget* owner) {
    auto* box = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Warning"),
                                QStringLiteral("Are you sure?"),
                                QMessageBox::Ok | QMessageBox::Cancel, owner->window());
    box->setDefaultButton(QMessageBox::Ok);
    box->setEscapeButton(QMessageBox::Cancel);
    return box;
}

TEST(DialogOverlay, DrawnInsideTheWindowADialogAnswersAsBeforeOverAnInertPage) {
    Wizard wizard(700);
    StepPage* page = wizard.open(PageId::SetupModePage);
    QWidget* pageFocus = wizard.window.focusWidget();
    const struct {
        const char* name;
        std::function<QDialog*(QWidget* owner)> make;
        Qt::Key key;
        int answer;
        QAccessible::Role role;
    } rows[] = {
        {"exit question, Enter", exitQuestion, Qt::Key_Return, QMessageBox::Ok,
         QAccessible::AlertMessage},
        {"exit question, Esc", exitQuestion, Qt::Key_Escape, QMessageBox::Cancel,
         QAccessible::AlertMessage},
        {"device list, Enter",
         [&](QWidget* owner) { return new DeviceListPage(wizard.flow, {ApplianceRow{}}, owner); },
         Qt::Key_Return, QDialog::Accepted, QAccessible::Dialog},
        {"credentials, Enter",
         [&](QWidget* owner) { return new CredentialsPage(wizard.flow, owner); }, Qt::Key_Return,
         QDialog::Accepted, QAccessible::Dialog},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QDialog* dialog = row.make(page);
        if (auto* modal = qobject_cast<ModalPage*>(dialog)) {
            modal->pageLoaded();
        }
        const QString title = dialog->windowTitle();
        const DialogOverlay* overlay = DialogOverlay::cover(*dialog);
        ASSERT_NE(overlay, nullptr);
        QTimer::singleShot(0, [&] {
            EXPECT_FALSE(dialog->isWindow());
            EXPECT_FALSE(page->isEnabled());
            EXPECT_EQ(dialog->size(), dialog->maximumSize()) << "fixed, as its window was";
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
            press(dialog, row.key);
        });
        EXPECT_EQ(dialog->exec(), row.answer);
        EXPECT_TRUE(dialog->isWindow()) << "a hidden window of its owner again";
        EXPECT_TRUE(page->isEnabled());
        EXPECT_EQ(wizard.window.focusWidget(), pageFocus);
        delete dialog;
        Wizard::settle();
    }
}

} // namespace
