// The wizard's windows on a real display server, Wayland or X11 as QT_QPA_PLATFORM names it
// (tests/support/on-display.sh starts one): one top-level window for the line of pages,
// and every other window transient for it, so that any compositor places it over the wizard.
#include "PageTestSupport.h"
#include "pages/Fonts.h"
#include "pages/MessageBoxDialogs.h"
#include "pages/PageWindow.h"
#include "support/SanitizerOptions.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

using namespace tarvex;
using namespace tarvex::testing;

namespace {

QList<QWindow*> windowsOnScreen() {
    QList<QWindow*> shown;
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (window->isVisible()) {
            shown.append(window);
        }
    }
    return shown;
}

// On screen now: the page window alone without a parent, and each other window transient for
// it or for a window that is.
void expectOnePageWindow(const PageWindow& pages) {
    int withoutParent = 0;
    for (QWindow* window : windowsOnScreen()) {
        QWindow* top = window;
        while (top->transientParent() != nullptr) {
            top = top->transientParent();
        }
        EXPECT_EQ(top, pages.windowHandle()) << window->title().toStdString();
        withoutParent += window->transientParent() == nullptr ? 1 : 0;
    }
    EXPECT_EQ(withoutParent, 1);
}

// With TARVEX_WALK_PICTURES naming a folder, the screen is photographed there under the name
// through the compositor's screenshooter (Weston started with --debug): the tour's Wayland
// pictures.
void picture(const char* name) {
    const QString folder = qEnvironmentVariable("TARVEX_WALK_PICTURES");
    if (folder.isEmpty()) {
        return;
    }
    QTest::qWait(500); // painted and placed
    QProcess shooter;
    shooter.setWorkingDirectory(folder);
    shooter.start(QStringLiteral("weston-screenshooter"), {});
    (void)QTest::qWaitFor([&] { return shooter.state() == QProcess::NotRunning; }, 5000);
    // It names the file by the time; the newest is the one just taken.
    QDir dir(folder);
    const QStringList taken =
        dir.entryList({QStringLiteral("wayland-screenshot-*.png")}, QDir::Files, QDir::Time);
    if (!taken.isEmpty()) {
        dir.remove(QString::fromLatin1(name) + ".png");
        dir.rename(taken.first(), QString::fromLatin1(name) + ".png");
    }
}

// What the box that came up showed, and whom it stood over.
struct Box {
    QString text;
    QWindow* parent = nullptr;
};

// Answers the next message box with the button, once it is on screen; bounded.
void answerBox(QMessageBox::StandardButton button, std::optional<Box>& seen,
               const char* pictureName) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, button, &seen, pictureName] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || box->windowHandle() == nullptr || !box->windowHandle()->isExposed()) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        seen = Box{box->text(), box->windowHandle()->transientParent()};
        picture(pictureName);
        box->button(button)->click();
    });
    QTimer::singleShot(10000, poll, &QObject::deleteLater);
    poll->start(20);
}

TEST(WindowWalk, OneWindowForThePagesAndEveryOtherStandsOverIt) {
    ASSERT_EQ(QGuiApplication::platformName().toUtf8(), qgetenv("QT_QPA_PLATFORM"));
    PageSettings settings;
    PageWindow pages;
    MessageBoxDialogs dialogs([&pages] { return pages.dialogParent(); });
    FakeRunServices fake;
    RecordingProgramEnd end;
    PageFlow flow(pages, settings, dialogs, end, 700, Step4Factory(fake.services));
    flow.start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pages));
    EXPECT_EQ(pages.windowHandle()->minimumSize(), pages.windowHandle()->maximumSize());
    EXPECT_FALSE(pages.windowFlags() & Qt::WindowMaximizeButtonHint);
    picture("w1-step0");

    // Maximized, as by the button Qt's Wayland title bar has whatever the flags say: the
    // program lives on with the page unchanged in the middle, and back to normal the window is
    // fixed to the page again. (Xvfb has no window manager to maximize it.)
    QWidget* page = flow.currentPage();
    const QSize pageSize = page->size();
    pages.windowHandle()->setWindowStates(Qt::WindowMaximized);
    if (QGuiApplication::platformName() == QLatin1String("wayland")) {
        // Painted meanwhile, as a window is: the commit a compositor checks against the state.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                page->update();
                return pages.width() > pageSize.width();
            },
            5000));
    }
    QTest::qWait(300);
    EXPECT_EQ(page->size(), pageSize);
    EXPECT_LE((pages.rect().center() - page->geometry().center()).manhattanLength(), 2);
    pages.windowHandle()->setWindowStates(Qt::WindowNoState);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pages.size() == pageSize; }, 5000));
    EXPECT_EQ(pages.windowHandle()->minimumSize(), pages.windowHandle()->maximumSize());

    // The exit question, answered Cancel.
    std::optional<Box> question;
    answerBox(QMessageBox::Cancel, question, "w2-exit-question");
    press(flow.currentPage(), Qt::Key_Escape);
    ASSERT_TRUE(question.has_value());
    EXPECT_EQ(question->parent, pages.windowHandle());

    const PageId line[] = {PageId::PowerPage, PageId::CablePage, PageId::SetupModePage,
                           PageId::RunningStatusPage};
    for (const PageId next : line) {
        press(flow.currentPage(), Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([&] { return flow.currentPage()->pageId() == next; }, 2000));
        QTest::qWait(100);
        SCOPED_TRACE(pageCaption(next).toStdString());
        EXPECT_EQ(pages.windowHandle()->title(), pageCaption(next));
        EXPECT_EQ(flow.currentPage()->window(), &pages);
        expectOnePageWindow(pages);
    }

    // No appliance answers Step 4's scan: its box stands over the window, then Step 3 is back.
    picture("w3-step4-scanning");
    std::optional<Box> none;
    answerBox(QMessageBox::Ok, none, "w4-no-appliance");
    ASSERT_TRUE(QTest::qWaitFor([&] { return none.has_value(); }, 8000));
    EXPECT_EQ(none->parent, pages.windowHandle());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return flow.currentPage()->pageId() == PageId::SetupModePage; }, 2000));
    expectOnePageWindow(pages);

    // The exit question, answered OK: the program ends and its window goes.
    question.reset();
    answerBox(QMessageBox::Ok, question, "w5-exit-question-step3");
    press(flow.currentPage(), Qt::Key_Escape);
    ASSERT_TRUE(question.has_value());
    EXPECT_EQ(question->parent, pages.windowHandle());
    EXPECT_EQ(end.count(), 1);
    Wizard::settle();
    EXPECT_TRUE(windowsOnScreen().isEmpty());
}

} // namespace

int main(int argc, char* argv[]) {
    // The display server is the one the environment names: no offscreen platform here.
    QApplication application(argc, argv);
    registerFontSubstitutes();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
