#include "window/MenuWindow.h"

#include "RecordingLauncher.h"
#include "StandIn.h"
#include "SvgDrawing.h"
#include "support/AccessibilityAudit.h"
#include "window/ClickablePicture.h"
#include "window/DesktopLauncher.h"
#include "window/MenuArtwork.h"

#include <QAccessible>
#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

namespace quirra {
namespace {

using testing::RecordingLauncher;
using Call = RecordingLauncher::Call;

// A menu in a scratch folder that holds a stand-in wizard, with a recording launcher.
class MenuWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(testing::writeStandIn(folder.filePath(QStringLiteral("Tarvex")),
                                          folder.filePath(QStringLiteral("marker"))));
    }

    QLabel* picture(int n) const {
        return window.findChild<QLabel*>(QStringLiteral("Image%1").arg(n));
    }

    QTemporaryDir folder;
    RecordingLauncher launcher;
    int endCalls = 0;
    MenuWindow window{launcher, folder.path() + QLatin1Char('/'), [this] {
                          ++endCalls;
                      }};
};

TEST_F(MenuWindowTest, HasItsCaptionAndClientSize) {
    EXPECT_EQ(window.objectName(), QStringLiteral("MenuWindow"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Menu"));
    EXPECT_EQ(window.size(), QSize(638, 481));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
}

TEST_F(MenuWindowTest, PaintsPicture100AsItsBackground) {
    const QImage shown = window.grab().toImage().convertToFormat(QImage::Format_RGB888);
    const QImage expected = menuPicture(100);
    ASSERT_EQ(expected.size(), QSize(640, 480));
    // Away from the six pictures, the window shows picture 100 pixel for pixel.
    for (const QPoint point : {QPoint(5, 5), QPoint(100, 400), QPoint(630, 10), QPoint(300, 470)}) {
        EXPECT_EQ(shown.pixel(point), expected.pixel(point)) << point.x() << "," << point.y();
    }
    // The last row of the client area continues the picture's last row.
    EXPECT_EQ(shown.pixel(20, 480), expected.pixel(20, 479));
}

struct PlaceCase {
    int image;
    QRect geometry; // pixels: twips / 15, at the picture's own size
};

class MenuLayout : public MenuWindowTest, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(MenuLayout, PlacesEachPictureAtItsOwnSize) {
    const PlaceCase& row = GetParam();
    QLabel* image = picture(row.image);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->geometry(), row.geometry);
    const QImage expected = menuPicture(100 + row.image);
    EXPECT_EQ(image->pixmap().toImage().convertToFormat(QImage::Format_RGB888), expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, MenuLayout,
                         ::testing::Values(PlaceCase{1, QRect(317, 186, 254, 30)},
                                           PlaceCase{2, QRect(315, 216, 257, 32)},
                                           PlaceCase{3, QRect(316, 246, 256, 30)},
                                           PlaceCase{4, QRect(315, 274, 257, 33)},
                                           PlaceCase{5, QRect(314, 305, 258, 31)},
                                           PlaceCase{6, QRect(317, 434, 82, 28)}),
                         [](const auto& info) {
                             return "Image" + std::to_string(info.param.image);
                         });

struct ClickCase {
    int image;
    Call::Kind kind;
    const char* target; // "<menu>" stands for the menu folder
};

class MenuClicks : public MenuWindowTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(MenuClicks, HandsTheRightFileOrAddressOverAndStaysOpen) {
    const ClickCase& row = GetParam();
    window.show();
    QTest::mouseClick(picture(row.image), Qt::LeftButton, {}, QPoint(5, 5));

    QString target = QString::fromUtf8(row.target);
    target.replace(QLatin1String("<menu>"), folder.path());
    ASSERT_EQ(launcher.calls.size(), 1);
    // No stand-in "0" for parameters or folder reaches the program or the handler.
    EXPECT_EQ(launcher.calls.front(), (Call{row.kind, target, {}, {}}));
    EXPECT_EQ(endCalls, 0);
    EXPECT_TRUE(window.isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MenuClicks,
    ::testing::Values(
        ClickCase{1, Call::Kind::StartDetached, "<menu>/Tarvex"},
        ClickCase{2, Call::Kind::OpenWithDesktop, "<menu>/Documents/Quick Installation Guide.doc"},
        ClickCase{3, Call::Kind::OpenWithDesktop, "<menu>/Documents/User's Manual.pdf"},
        ClickCase{4, Call::Kind::OpenWithDesktop,
                  "http://www.pdfreader.example/products/acrobat/readstep2.html"},
        ClickCase{5, Call::Kind::OpenWithDesktop, "http://www.dravik.example/"}),
    [](const auto& info) { return "Image" + std::to_string(info.param.image); });

TEST_F(MenuWindowTest, EveryClickStartsAgain) {
    window.show();
    QTest::mouseClick(picture(1), Qt::LeftButton);
    QTest::mouseClick(picture(1), Qt::LeftButton);
    EXPECT_EQ(launcher.calls.size(), 2);
}

TEST_F(MenuWindowTest, ClicksOutsideThePicturesDoNothing) {
    window.show();
    for (const QPoint point :
         {QPoint(10, 10), QPoint(316, 200), QPoint(600, 190), QPoint(400, 420), QPoint(637, 480)}) {
        QTest::mouseClick(&window, Qt::LeftButton, {}, point);
    }
    QTest::mouseClick(picture(2), Qt::RightButton);
    EXPECT_TRUE(launcher.calls.isEmpty());
    EXPECT_EQ(endCalls, 0);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(MenuWindowTest, Image6ClosesTheMenuAndEndsTheProgramOnce) {
    window.show();
    QTest::mouseClick(picture(6), Qt::LeftButton);
    EXPECT_EQ(endCalls, 1);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(launcher.calls.isEmpty());
    // The close box ends it the same way.
    window.show();
    window.close();
    EXPECT_EQ(endCalls, 2);
}

TEST_F(MenuWindowTest, ShowsThePointingHandOnlyOverThePictures) {
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
    for (int n = 1; n <= 6; ++n) {
        const QCursor cursor = picture(n)->cursor();
        EXPECT_EQ(cursor.shape(), Qt::BitmapCursor) << n;
        EXPECT_EQ(cursor.hotSpot(), QPoint(12, 1)) << n;
        EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32)) << n;
    }
}

// The menu by keyboard and screen reader, in each language.
class MenuAccess : public ::testing::TestWithParam<dravik::Language> {
protected:
    void SetUp() override {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    ClickablePicture* entry(int n) const {
        return window.findChild<ClickablePicture*>(QStringLiteral("Image%1").arg(n));
    }
    QWidget* focused() const { return QApplication::focusWidget(); }

    RecordingLauncher launcher;
    int endCalls = 0;
    MenuWindow window{launcher, QStringLiteral("/cd/"), [this] { ++endCalls; }, GetParam()};
};

TEST_P(MenuAccess, EveryEntryIsAButtonNamedByTheLabelItsPictureShows) {
    const char* sources[] = {"setup-wizard", "installation-guide", "manual",
                             "pdf-reader",   "web-site",           "exit"};
    for (int n = 1; n <= 6; ++n) {
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(entry(n));
        ASSERT_NE(button, nullptr) << n;
        EXPECT_EQ(button->role(), QAccessible::Button) << n;
        const QString label = menuPictureLabel(100 + n, GetParam());
        EXPECT_EQ(button->text(QAccessible::Name), label) << n;
        QFile source(dravik::wordedPictureSource(QStringLiteral(":/quirra"),
                                                 QString::fromLatin1(sources[n - 1]), GetParam()));
        ASSERT_TRUE(source.open(QIODevice::ReadOnly)) << n;
        const QString drawn = QString::fromUtf8(source.readAll())
                                  .replace(QLatin1String("&apos;"), QLatin1String("'"))
                                  .remove(QRegularExpression(QStringLiteral("</?tspan[^>]*>")));
        EXPECT_TRUE(drawn.contains(QLatin1Char('>') + label + QLatin1Char('<')))
            << n << ": the name is not what the picture shows";
    }
    EXPECT_EQ(dravik::testing::accessibilityFaults(
                  window, GetParam() == dravik::Language::TraditionalChinese),
              "");
    // A screen reader's press starts the entry as a click does.
    QAccessibleInterface* wizard = QAccessible::queryAccessibleInterface(entry(1));
    ASSERT_TRUE(wizard->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::pressAction()));
    wizard->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(launcher.calls.size(), 1);
}

TEST_P(MenuAccess, TabAndTheArrowsWalkTheEntriesAndEnterOrSpaceStartsOne) {
    EXPECT_EQ(focused(), entry(1)) << "the keyboard has a place to start";
    for (int n = 2; n <= 7; ++n) {
        QTest::keyClick(focused(), Qt::Key_Tab);
        EXPECT_EQ(focused(), entry((n - 1) % 6 + 1)) << n;
    }
    const struct {
        Qt::Key key;
        int to;
    } steps[] = {{Qt::Key_Down, 2}, {Qt::Key_Right, 3}, {Qt::Key_Up, 2},     {Qt::Key_Left, 1},
                 {Qt::Key_Up, 6},   {Qt::Key_Down, 1},  {Qt::Key_Backtab, 6}};
    for (const auto& step : steps) {
        QTest::keyClick(focused(), step.key);
        EXPECT_EQ(focused(), entry(step.to)) << step.key;
    }
    EXPECT_TRUE(launcher.calls.isEmpty());

    entry(1)->setFocus(Qt::TabFocusReason);
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        QTest::keyClick(focused(), key);
    }
    ASSERT_EQ(launcher.calls.size(), 3);
    EXPECT_EQ(launcher.calls.front().target, QStringLiteral("/cd/Tarvex"));
    entry(6)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(focused(), Qt::Key_Space);
    EXPECT_EQ(endCalls, 1);
}

TEST_P(MenuAccess, OnlyTheFocusedEntryIsFramed) {
    entry(2)->setFocus(Qt::TabFocusReason);
    // The whole frame shows in the window, though the next picture overlaps this one.
    EXPECT_EQ(window.grab(entry(2)->geometry()).toImage().convertToFormat(QImage::Format_RGB888),
              entry(2)->grab().toImage().convertToFormat(QImage::Format_RGB888));
    for (int n = 1; n <= 6; ++n) {
        const QImage shown = entry(n)->grab().toImage().convertToFormat(QImage::Format_RGB888);
        const QImage picture = entry(n)->pixmap().toImage().convertToFormat(QImage::Format_RGB888);
        if (n == 2) {
            EXPECT_NE(shown, picture);
            // A frame: the middle of the picture is left as it is.
            EXPECT_EQ(shown.copy(4, 4, shown.width() - 8, shown.height() - 8),
                      picture.copy(4, 4, picture.width() - 8, picture.height() - 8));
        } else {
            EXPECT_EQ(shown, picture) << n;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, MenuAccess,
                         ::testing::Values(dravik::Language::English,
                                           dravik::Language::TraditionalChinese),
                         [](const auto& info) {
                             return info.param == dravik::Language::English ? "English" : "Chinese";
                         });

TEST(MenuArtwork, AtRatioTwoEveryPictureIsDrawnWithTwiceThePixels) {
    for (int number = 100; number <= 106; ++number) {
        const QSize size = menuPictureSize(number);
        const QImage sharp = menuPicture(number, 2.0);
        EXPECT_EQ(sharp.size(), size * 2) << number;
        EXPECT_EQ(sharp.deviceIndependentSize(), QSizeF(size)) << number;
        EXPECT_EQ(sharp.depth(), 24) << number;
        QImage pixels = sharp.convertToFormat(QImage::Format_RGB32);
        pixels.setDevicePixelRatio(1.0);
        EXPECT_NE(pixels,
                  menuPicture(number).convertToFormat(QImage::Format_RGB32).scaled(size * 2))
            << number;
        // Every picture has words, drawn in the user's language at the same size.
        const QImage chinese = menuPicture(number, 1.0, dravik::Language::TraditionalChinese);
        EXPECT_EQ(chinese.size(), size) << number;
        EXPECT_NE(chinese, menuPicture(number)) << number;
    }
}

TEST(MenuCursor, FingertipIsOpaqueAtTheHotSpot) {
    const QImage hand = menuCursor().pixmap().toImage();
    EXPECT_GT(qAlpha(hand.pixel(12, 1)), 0);
    EXPECT_EQ(qAlpha(hand.pixel(0, 0)), 0);
}

TEST(MenuStart, StartsTheWizardBesideTheMenuForReal) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString marker = folder.filePath(QStringLiteral("marker"));
    ASSERT_TRUE(testing::writeStandIn(folder.filePath(QStringLiteral("Tarvex")), marker));
    DesktopLauncher launcher;
    int endCalls = 0;
    MenuWindow window(launcher, folder.path(), [&endCalls] { ++endCalls; });
    window.show();

    window.Image1_Click();

    // The click returns before the wizard runs; wait for the stand-in, bounded.
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(marker) && waited.elapsed() < 10000) {
        QThread::msleep(20);
    }
    QFile written(marker);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << "the stand-in wizard never ran";
    const QStringList lines = QString::fromUtf8(written.readAll()).split(QLatin1Char('\n'));
    EXPECT_EQ(lines.value(0), QStringLiteral("0:")) << "the wizard got arguments";
    EXPECT_EQ(endCalls, 0);
    EXPECT_TRUE(window.isVisible());
}

} // namespace
} // namespace quirra
