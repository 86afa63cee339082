// The wizard's windows on a real display server, Wayland or X11 as QT_QPA_PLATFORM names it
// (tests/support/on-display.sh starts one): one top-level window for the whole walk under
// Wayland, every box and modal page drawn centred inside it; under X11 every other window
// transient for it, and with a window manager its frame centred on the screen.
#include "PageTestSupport.h"
#include "pages/CredentialsPage.h"
#include "pages/DeviceListPage.h"
#include "pages/DialogOverlay.h"
#include "pages/Fonts.h"
#include "pages/MessageBoxDialogs.h"
#include "pages/ModalRunDialogs.h"
#include "pages/PageWindow.h"
#include "support/SanitizerOptions.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

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
// through the compositor's screenshooter (Weston started with --debug), or under X11 by
// ImageMagick's import: the tour's Wayland and window manager pictures.
void picture(const char* name) {
    const QString folder = qEnvironmentVariable("TARVEX_WALK_PICTURES");
    if (folder.isEmpty()) {
        return;
    }
    QTest::qWait(500); // painted and placed
    QProcess shooter;
    shooter.setWorkingDirectory(folder);
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        shooter.start(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"),
                                                 QStringLiteral("wayland-screenshot-x11.png")});
    } else {
        shooter.start(QStringLiteral("weston-screenshooter"), {});
    }
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

// libwayland's log of the client's requests (WAYLAND_DEBUG=client), written where stderr was.
QString protocolLogPath() {
    return qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/protocol.log");
}

// How many times the log names the request.
qsizetype requestsLogged(const char* request) {
    QFile log(protocolLogPath());
    return log.open(QIODevice::ReadOnly) ? log.readAll().count(request) : -1;
}

// The dialog of the type on top, once it is on screen: a window of its own exposed, or drawn
// inside the wizard's window.
template <typename Dialog> Dialog* dialogOnScreen() {
    for (QWidget* widget : QApplication::allWidgets()) {
        auto* dialog = qobject_cast<Dialog*>(widget);
        if (dialog == nullptr || !dialog->isVisible() || !dialog->isEnabled()) {
            continue;
        }
        if (dialog->isWindow() ? dialog->windowHandle()->isExposed() : dialog->isVisible()) {
            return dialog;
        }
    }
    return nullptr;
}

// What a dialog that came up showed, and where.
struct Box {
    QString text;
    // The window it stands over: its transient parent, or the one it is drawn in.
    QWindow* parent = nullptr;
    // Drawn inside: how far the box's centre is from the page's (Manhattan length).
    int offCentre = 0;
};

Box seen(QWidget& dialog, const QString& text) {
    if (dialog.isWindow()) {
        return {text, dialog.windowHandle()->transientParent()};
    }
    QWidget* window = dialog.window();
    QWidget* card = qobject_cast<DialogOverlay*>(dialog.parentWidget()->parentWidget())->card();
    const QRect box(card->mapTo(window, QPoint(0, 0)), card->size());
    QRect page;
    for (const StepPage* step : window->findChildren<StepPage*>()) {
        page = step->isVisible() ? step->geometry() : page;
    }
    return {text, window->windowHandle(),
            static_cast<int>((box.center() - page.center()).manhattanLength())};
}

// Where a dialog stands: drawn inside the wizard's window within a pixel of the page's centre,
// or a window transient for it (or for the dialog it stands over).
void expectOverThePage(const std::optional<Box>& box, const PageWindow& pages,
                       const QWidget* over = nullptr) {
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->parent, (over != nullptr ? over->window() : &pages)->windowHandle());
    EXPECT_LE(box->offCentre, 1);
}

// Answers the next message box with the button, once it is on screen; bounded.
void answerBox(QMessageBox::StandardButton button, std::optional<Box>& seenBox,
               const char* pictureName) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, button, &seenBox, pictureName] {
        auto* box = dialogOnScreen<QMessageBox>();
        if (box == nullptr) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        seenBox = seen(*box, box->text());
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
    expectOverThePage(question, pages);

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
    expectOverThePage(none, pages);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return flow.currentPage()->pageId() == PageId::SetupModePage; }, 2000));
    expectOnePageWindow(pages);

    // The two modal pages over the page. Esc on the device list asks, over it, whether to
    // exit; Cancel leaves it up, and Next takes the selected appliance.
    ModalRunDialogs modal(flow.currentPage(), flow);
    ApplianceRow appliance;
    appliance.record.IpAddress = "192.168.0.5";
    appliance.record.HostName = "NAS";
    appliance.address = appliance.sender = Ipv4Address(0xC0A80005U);
    appliance.reachability = Reachability::Yes;
    std::optional<std::optional<qsizetype>> chosen;
    modal.showDeviceList({appliance}, false, 0,
                         [&](std::optional<qsizetype> row) { chosen = row; });
    DeviceListPage* list = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (list = dialogOnScreen<DeviceListPage>()); }, 5000));
    std::optional<Box> over = seen(*list, list->windowTitle());
    expectOverThePage(over, pages);
    picture("w5-device-list");
    question.reset();
    answerBox(QMessageBox::Cancel, question, "w6-exit-question-over-list");
    press(list, Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return question.has_value(); }, 5000));
    expectOverThePage(question, pages, list);
    press(list, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return chosen.has_value(); }, 5000));
    EXPECT_EQ(*chosen, 0);

    std::optional<std::optional<Credentials>> credentials;
    modal.showCredentials([&](std::optional<Credentials> given) { credentials = given; });
    CredentialsPage* login = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (login = dialogOnScreen<CredentialsPage>()); }, 5000));
    over = seen(*login, login->windowTitle());
    expectOverThePage(over, pages);
    picture("w7-credentials");
    // Enter to the page itself: on a text box Qt's Wayland input method needs a seat, which the
    // headless compositor has not.
    QTest::keyClick(login, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return credentials.has_value(); }, 5000));
    EXPECT_TRUE(credentials->has_value());
    expectOnePageWindow(pages);
    if (QGuiApplication::platformName() == QLatin1String("wayland")) {
        // One window for the whole walk, in what the compositor was asked for.
        EXPECT_EQ(requestsLogged(".get_xdg_surface("), 1);
        EXPECT_EQ(requestsLogged(".get_toplevel("), 1);
    }
    if (qEnvironmentVariableIsSet("TARVEX_WALK_WINDOW_MANAGER")) {
        // Framed by the window manager, the frame is centred on the screen.
        const QPoint off =
            pages.frameGeometry().center() - pages.screen()->availableGeometry().center();
        EXPECT_NE(pages.frameGeometry(), pages.geometry());
        EXPECT_LE(std::abs(off.x()), 1);
        EXPECT_LE(std::abs(off.y()), 1);
    }

    // The exit question, answered OK: the program ends and its window goes.
    question.reset();
    answerBox(QMessageBox::Ok, question, "w8-exit-question-step3");
    press(flow.currentPage(), Qt::Key_Escape);
    expectOverThePage(question, pages);
    EXPECT_EQ(end.count(), 1);
    Wizard::settle();
    EXPECT_TRUE(windowsOnScreen().isEmpty());
}

} // namespace

int main(int argc, char* argv[]) {
    if (qgetenv("QT_QPA_PLATFORM") == "wayland") {
        // Every request libwayland sends, logged where stderr goes, into a file of its own.
        qputenv("WAYLAND_DEBUG", "client");
        const int log = ::open(protocolLogPath().toLocal8Bit().constData(),
                               O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (log >= 0) {
            ::dup2(log, STDERR_FILENO);
            ::close(log);
        }
    }
    // The display server is the one the environment names: no offscreen platform here.
    QApplication application(argc, argv);
    registerFontSubstitutes();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
