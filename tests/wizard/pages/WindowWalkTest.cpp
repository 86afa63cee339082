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
#include "pages/PageWindow.h"
#include "support/SanitizerOptions.h"
#include "texts/TextCatalog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
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
    if (folder.isEmpty() || name == nullptr) {
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

// With TARVEX_WALK_PICTURES, the dialog alone as <name>-box.png, for the tour's pairs: drawn
// inside the window (its card, frame and shadow), or its window in the window manager's frame.
void dialogPicture(QWidget& dialog, const char* name) {
    const QString folder = qEnvironmentVariable("TARVEX_WALK_PICTURES");
    const QString file = folder + QLatin1Char('/') + QLatin1String(name) + "-box.png";
    const QRect frame = dialog.frameGeometry();
    QWidget* window = dialog.window();
    const QWidget* card = dialog.parentWidget();
    if (folder.isEmpty() || name == nullptr) {
        return;
    }
    (dialog.isWindow()
         ? dialog.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
         : window->grab(QRect(card->mapTo(window, QPoint()), card->size()).adjusted(-8, -8, 8, 8)))
        .save(file);
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

// Under a window manager, a window framed by it has its frame centred on the screen, as the
// wizard's own window has.
void expectFrameCentred(const QWidget& window) {
    if (!qEnvironmentVariableIsSet("TARVEX_WALK_WINDOW_MANAGER")) {
        return;
    }
    const auto off = [&window] {
        return window.frameGeometry().center() - window.screen()->availableGeometry().center();
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return off().manhattanLength() <= 1; }, 2000))
        << window.objectName().toStdString() << " off by " << off().x() << "," << off().y();
    EXPECT_NE(window.frameGeometry(), window.geometry());
}

// Answers the next message box, once it is on screen; bounded.
void answerBox(const std::function<void(QMessageBox* box)>& answer, std::optional<Box>& seenBox,
               const char* pictureName) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, answer, &seenBox, pictureName] {
        auto* box = dialogOnScreen<QMessageBox>();
        if (box == nullptr) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        seenBox = seen(*box, box->text());
        picture(pictureName);
        dialogPicture(*box, pictureName);
        answer(box);
    });
    QTimer::singleShot(10000, poll, &QObject::deleteLater);
    poll->start(20);
}

void answerBox(QMessageBox::StandardButton button, std::optional<Box>& seenBox,
               const char* pictureName) {
    answerBox([button](QMessageBox* box) { box->button(button)->click(); }, seenBox, pictureName);
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

    expectOnePageWindow(pages);
    if (QGuiApplication::platformName() == QLatin1String("wayland")) {
        // One window for the whole walk, in what the compositor was asked for.
        EXPECT_EQ(requestsLogged(".get_xdg_surface("), 1);
        EXPECT_EQ(requestsLogged(".get_toplevel("), 1);
    }
    expectFrameCentred(pages);

    // The exit question, answered OK: the program ends and its window goes.
    question.reset();
    answerBox(QMessageBox::Ok, question, "w8-exit-question-step3");
    press(flow.currentPage(), Qt::Key_Escape);
    expectOverThePage(question, pages);
    EXPECT_EQ(end.count(), 1);
    Wizard::settle();
    EXPECT_TRUE(windowsOnScreen().isEmpty());
}

// The keyboard as the user has it: keys go to the window on top (a modal window under X11, the
// wizard's otherwise), to the control that has the focus there.
class Keyboard {
public:
    explicit Keyboard(PageWindow& pages) : pages_(pages) {}

    [[nodiscard]] QWidget* window() const {
        QWidget* modal = QApplication::activeModalWidget();
        return modal != nullptr ? modal->window() : &pages_;
    }
    [[nodiscard]] QWidget* focus() const { return window()->focusWidget(); }
    [[nodiscard]] std::string focusName() const {
        return focus() != nullptr ? focus()->objectName().toStdString() : "(nothing)";
    }
    void press(Qt::Key key) const {
        if (QGuiApplication::platformName() != QLatin1String("wayland")) {
            QTest::keyClick(window()->windowHandle(), key);
            return;
        }
        // A text box under Wayland asks Qt's input method, which needs a seat the headless
        // compositor has not: its keys go to the page the box is on, which the box passes them
        // to; and both halves of a key go to the control that had the focus when it went down.
        QWidget* control = focus() != nullptr ? focus() : window();
        if (qobject_cast<QLineEdit*>(control) != nullptr) {
            control = control->parentWidget();
        }
        QTest::keyClick(control, key);
    }

    // Esc asks the question with the prompt, over the focused control and the dialog it is on
    // (if any); Esc answers it Cancel and the focus is where it was.
    void expectEscAsksAndKeepsTheFocus(const std::string& focused, int prompt,
                                       const QWidget* over = nullptr,
                                       const char* pictureName = nullptr) const {
        EXPECT_EQ(focusName(), focused);
        std::optional<Box> question;
        answerBox([this](QMessageBox*) { press(Qt::Key_Escape); }, question, pictureName);
        press(Qt::Key_Escape);
        ASSERT_TRUE(QTest::qWaitFor([&] { return question.has_value(); }, 5000)) << focused;
        EXPECT_EQ(question->text, CatalogText(700, prompt));
        expectOverThePage(question, pages_, over);
        ASSERT_TRUE(QTest::qWaitFor([] { return dialogOnScreen<QMessageBox>() == nullptr; }, 5000));
        QTest::qWait(50);
        EXPECT_EQ(focusName(), focused) << "after the question";
    }

private:
    PageWindow& pages_;
};

bool until(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 8000);
}

// Every way Step 4 can end that leaves the user on a page, walked by the keyboard alone, in both
// window models and under GNOME's keys too: after each some control has the focus, Esc asks to
// exit, and Enter presses the page's default button.
TEST(WindowWalk, ByKeyboardEveryOutcomeLeavesAFocusForEnterAndEsc) {
    PageSettings settings;
    PageWindow pages;
    MessageBoxDialogs dialogs([&pages] { return pages.dialogParent(); });
    FakeRunServices fake;
    using std::chrono::milliseconds;
    fake.services.intervals = {milliseconds(10), milliseconds(400), milliseconds(400)};
    RecordingProgramEnd end;
    PageFlow flow(pages, settings, dialogs, end, 700, Step4Factory(fake.services));
    const Keyboard keys(pages);
    const auto on = [&](PageId page) {
        return flow.currentPage()->pageId() == page;
    };
    flow.start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pages));
    for (const PageId next : {PageId::PowerPage, PageId::CablePage, PageId::SetupModePage}) {
        keys.press(Qt::Key_Return);
        ASSERT_TRUE(until([&] { return on(next); }));
    }
    // Only a reachable appliance's run writes the shortcuts: this failure is its outcome.
    fake.shortcuts.failure = ShortcutFailure{QStringLiteral("/home/user/Desktop/x"),
                                             QStringLiteral("Permission denied")};
    const struct {
        const char* outcome;
        QByteArray ip;
        bool reachable;
        QByteArray reply; // the configuration's answer; none: it times out
        bool box;         // the outcome tells it in a box, answered by Enter
    } rows[] = {{"refused", "10.0.0.5", false, "0C02RAP0000000000000011", false},
                {"no answer", "10.0.0.5", false, {}, true},
                {"shortcuts failed", "192.168.0.5", true, {}, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.outcome);
        // From Step 3 into a scan that one appliance answers, and its row chosen.
        keys.expectEscAsksAndKeepsTheFocus("Option1(0)", Text::ExitProgramPrompt);
        keys.press(Qt::Key_Return);
        ASSERT_TRUE(until([&] { return fake.listener.isOpen(); }));
        fake.listener.deliver(ApplianceReply("AP000000000000001", row.ip));
        ASSERT_TRUE(until([&] { return !fake.prober.batches.empty(); }));
        fake.prober.answerAll({{QString::fromLatin1(row.ip),
                                {row.reachable ? EchoStatus::Reply : EchoStatus::NoReply, 0}}});
        DeviceListPage* list = nullptr;
        ASSERT_TRUE(until([&] { return (list = dialogOnScreen<DeviceListPage>()); }));
        expectOverThePage(seen(*list, list->windowTitle()), pages);
        expectFrameCentred(*list);
        picture("w5-device-list");
        dialogPicture(*list, "w5-device-list");
        keys.expectEscAsksAndKeepsTheFocus("ListView1", Text::ExitProgramPrompt, list,
                                           "w6-exit-question-over-list");
        keys.press(Qt::Key_Return);
        if (!row.reachable) {
            // The address search answered; the preset password is typed over.
            ASSERT_TRUE(until([&] {
                return std::any_of(fake.prober.batches.begin(), fake.prober.batches.end(),
                                   [](const auto& batch) { return batch.addresses.size() > 1; });
            }));
            fake.answerSearch();
            CredentialsPage* login = nullptr;
            ASSERT_TRUE(until([&] { return (login = dialogOnScreen<CredentialsPage>()); }));
            expectOverThePage(seen(*login, login->windowTitle()), pages);
            expectFrameCentred(*login);
            picture("w7-credentials");
            dialogPicture(*login, "w7-credentials");
            auto* password = qobject_cast<QLineEdit*>(keys.focus());
            ASSERT_NE(password, nullptr) << keys.focusName();
            EXPECT_EQ(password->selectedText(), "qorvu") << "typing replaces the preset";
            password->insert(QStringLiteral("admin")); // as typed: over the selection
            keys.expectEscAsksAndKeepsTheFocus("txtPassword", Text::ExitSetupPrompt, login);
            EXPECT_EQ(password->text(), "admin");
            keys.press(Qt::Key_Return);
            ASSERT_TRUE(until([&] { return fake.broadcaster.sent.size() >= 2; }));
        }
        if (!row.reply.isEmpty()) {
            fake.listener.deliver(ArrivedDatagram{row.reply, 2, Address("10.0.0.5")});
        }
        if (row.box) {
            ASSERT_TRUE(until([] { return dialogOnScreen<QMessageBox>() != nullptr; }));
            keys.press(Qt::Key_Return);
        }
        // The page stands: its default button has the focus, Esc asks, Enter goes back.
        ASSERT_TRUE(until([&] {
            return dialogOnScreen<QMessageBox>() == nullptr &&
                   flow.currentPage()->findChild<QPushButton*>("previousButton")->isEnabled();
        }));
        QTest::qWait(50);
        keys.expectEscAsksAndKeepsTheFocus("previousButton", Text::ExitProgramPrompt);
        keys.press(Qt::Key_Return);
        ASSERT_TRUE(until([&] { return on(PageId::SetupModePage); }));
        fake.broadcaster.sent.clear();
    }

    // No appliance: "Show Details..." pressed by the keyboard, then Enter is OK.
    keys.expectEscAsksAndKeepsTheFocus("Option1(0)", Text::ExitProgramPrompt);
    keys.press(Qt::Key_Return);
    QMessageBox* nothing = nullptr;
    ASSERT_TRUE(until([&] { return (nothing = dialogOnScreen<QMessageBox>()); }));
    for (QAbstractButton* button : nothing->buttons()) {
        if (nothing->buttonRole(button) == QMessageBox::ActionRole) {
            button->setFocus(Qt::TabFocusReason); // as Tab puts it there
        }
    }
    keys.press(Qt::Key_Space);
    EXPECT_EQ(keys.focus(), nothing->defaultButton());
    keys.press(Qt::Key_Return);
    ASSERT_TRUE(until([&] { return on(PageId::SetupModePage); }));
    fake.broadcaster.sent.clear();

    EXPECT_EQ(end.count(), 0);
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
