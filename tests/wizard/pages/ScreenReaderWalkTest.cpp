// What a screen reader is told of the wizard's dialogs, on a real display server with the
// accessibility bus on (tests/support/with-screen-reader.sh): a dialog drawn inside the window,
// never activated as a window is, still tells that it came, where its focus is, and that it went.
#include "PageTestSupport.h"
#include "pages/CredentialsPage.h"
#include "pages/DialogOverlay.h"
#include "support/SanitizerOptions.h"
#include "texts/TextCatalog.h"

#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

using namespace tarvex;
using namespace tarvex::testing;

namespace {

using Heard = std::pair<QObject*, QAccessible::Event>;

std::vector<Heard>& heard() {
    static std::vector<Heard> events;
    return events;
}

bool saw(QObject* object, QAccessible::Event type) {
    return std::find(heard().begin(), heard().end(), Heard{object, type}) != heard().end();
}

TEST(ScreenReader, ADialogInsideTheWindowTellsItCameWhereItsFocusIsAndWent) {
    ASSERT_TRUE(QTest::qWaitFor([] { return QAccessible::isActive(); }, 10000))
        << "Qt never heard that a screen reader listens";
    // Heard here instead of on the bus; what the bridge makes of each event is Qt's.
    QAccessible::installUpdateHandler(
        [](QAccessibleEvent* event) { heard().emplace_back(event->object(), event->type()); });

    Wizard wizard(700);
    StepPage* step4 = wizard.open(PageId::RunningStatusPage);
    auto* box = new QMessageBox(QMessageBox::NoIcon, CatalogText(700, 8), CatalogText(700, 7),
                                QMessageBox::Ok, step4);
    CredentialsPage credentials(wizard.flow, step4);
    credentials.pageLoaded();
    for (QDialog* dialog : std::initializer_list<QDialog*>{box, &credentials}) {
        SCOPED_TRACE(dialog->metaObject()->className());
        heard().clear();
        ASSERT_NE(DialogOverlay::cover(*dialog), nullptr);
        QTimer::singleShot(0, [dialog, box] {
            EXPECT_TRUE(saw(dialog, QAccessible::DialogStart));
            // A message box is an alert besides, as it is in a window of its own.
            EXPECT_EQ(saw(dialog, QAccessible::Alert), dialog == box);
            // What a screen reader speaks the dialog on: the focus inside it.
            QWidget* focus = dialog->focusWidget();
            ASSERT_NE(focus, nullptr);
            EXPECT_TRUE(saw(focus, QAccessible::Focus)) << focus->metaObject()->className();
            dialog->accept();
        });
        dialog->exec();
        EXPECT_TRUE(saw(dialog, QAccessible::DialogEnd));
    }
    QAccessible::installUpdateHandler(nullptr);
    delete box;
}

} // namespace

int main(int argc, char* argv[]) {
    // The display server is the one the environment names: no offscreen platform here.
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
