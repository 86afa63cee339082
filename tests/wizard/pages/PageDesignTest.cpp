// Every step page against its window design, in both editions: caption, controls, geometry,
// texts, pictures, colours, fonts, focus order, default and cancel buttons.
#include "PageTestSupport.h"
#include "artwork/Artwork.h"
#include "pages/PictureBox.h"
#include "texts/TextCatalog.h"
#include "texts/UserLanguage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

using namespace tarvex;
using namespace tarvex::testing;

namespace {

enum class Look { System, BlueOnWhite };
// What a control shows: no picture area, an empty one, or a picture.
struct Shows {
    bool area;
    std::optional<StepPicture> picture;
};
constexpr Shows kNoPicture{false, std::nullopt};
constexpr Shows kEmptyPicture{true, std::nullopt};
constexpr Shows shows(StepPicture picture) {
    return {true, picture};
}

struct ControlRow {
    const char* name;
    int left, top, width, height; // twips
    int text;                     // catalog offset; 0: the control shows no text
    Shows picture;
    Look look;
};

struct PageRow {
    PageId page;
    const char* caption;
    std::vector<ControlRow> controls;
    std::vector<const char*> focusOrder;
    const char* defaultButton;
    const char* cancelButton;
    std::vector<const char*> absent;
};

constexpr auto B = Look::BlueOnWhite;
constexpr auto S = Look::System;

const std::vector<PageRow>& pageRows() {
    static const std::vector<PageRow> rows{
        {PageId::WelcomePage,
         "Dravik Configuration and Setup Utility - Step 0",
         {{"txt1", 0, 5280, 9855, 2055, 4, kNoPicture, B},
          {"pic1", 0, 0, 9855, 5295, 0, shows(StepPicture::Welcome), S},
          {"nextButton", 7080, 7560, 1215, 495, 1, kNoPicture, S},
          {"exitButton", 8520, 7560, 1215, 495, 3, kNoPicture, S},
          {"lblVersion", 120, 7800, 3375, 255, 58, kNoPicture, B}},
         {"txt1", "pic1", "nextButton", "exitButton"},
         "nextButton",
         "exitButton",
         {"previousButton"}},
        {PageId::PowerPage,
         "Dravik Configuration and Setup Utility - Step 1",
         {{"pic1", 0, 0, 9855, 5295, 0, shows(StepPicture::Power), S},
          {"txt1", 0, 5280, 9855, 2055, 5, kNoPicture, B},
          {"previousButton", 5640, 7560, 1215, 495, 2, kNoPicture, S},
          {"nextButton", 7080, 7560, 1215, 495, 1, kNoPicture, S},
          {"exitButton", 8520, 7560, 1215, 495, 3, kNoPicture, S},
          {"lblVersion", 120, 7800, 3375, 255, 58, kNoPicture, B}},
         {"pic1", "txt1", "previousButton", "nextButton", "exitButton"},
         "nextButton",
         "exitButton",
         {}},
        {PageId::CablePage,
         "Dravik Configuration and Setup Utility - Step 2",
         {{"txt1", 0, 5280, 9855, 2055, 6, kNoPicture, B},
          {"pic1", 0, 0, 9855, 5295, 0, shows(StepPicture::Cable), S},
          {"nextButton", 7080, 7560, 1215, 495, 1, kNoPicture, S},
          {"exitButton", 8520, 7560, 1215, 495, 3, kNoPicture, S},
          {"previousButton", 5640, 7560, 1215, 495, 2, kNoPicture, S},
          {"lblVersion", 120, 7800, 3375, 255, 58, kNoPicture, B}},
         {"txt1", "pic1", "nextButton", "exitButton", "previousButton"},
         "nextButton",
         "exitButton",
         {}},
        {PageId::SetupModePage,
         "Dravik Configuration and Setup Utility - Step 3",
         {{"Option1(0)", 480, 2280, 5055, 375, 18, kNoPicture, B},
          {"Label1", 720, 2880, 8415, 1215, 20, kNoPicture, B},
          {"nextButton", 6960, 7560, 1215, 495, 1, kNoPicture, S},
          {"previousButton", 5520, 7560, 1215, 495, 2, kNoPicture, S},
          {"exitButton", 8400, 7560, 1215, 495, 3, kNoPicture, S},
          {"lblVersion", 120, 7800, 3375, 255, 58, kNoPicture, B}},
         {"Option1(0)", "nextButton", "previousButton", "exitButton"},
         "nextButton",
         "exitButton",
         {"pic1", "txt1"}},
        {PageId::RunningStatusPage,
         "Dravik Configuration and Setup Utility - Step 4",
         {{"pic1", 240, 360, 735, 735, 0, shows(StepPicture::UnderWay), B},
          {"pic2", 240, 1800, 735, 735, 0, kEmptyPicture, B},
          {"pic3", 240, 3240, 735, 735, 0, kEmptyPicture, B},
          {"pic4", 240, 4680, 735, 735, 0, kEmptyPicture, B},
          {"Label1_1", 1440, 600, 7815, 975, 29, kNoPicture, B},
          {"Label2_1", 1440, 2040, 7935, 975, 30, kNoPicture, B},
          {"Label3_1", 1440, 3480, 7935, 975, 31, kNoPicture, B},
          {"Label4_1", 1440, 4920, 8055, 975, 32, kNoPicture, B},
          {"Label5", 120, 6240, 1815, 375, 28, kNoPicture, B},
          {"lblRun", 2040, 6240, 7335, 975, 33, kNoPicture, B},
          {"previousButton", 6960, 7560, 1215, 495, 2, kNoPicture, S},
          {"exitButton", 8400, 7560, 1215, 495, 3, kNoPicture, S},
          {"lblVersion", 120, 7800, 3375, 255, 58, kNoPicture, B}},
         {}, // Previous and Exit wait, disabled, until the run has an outcome

         "previousButton",
         "exitButton",
         {"nextButton"}},
    };
    return rows;
}

int pixels(int twips) {
    return qRound(twips / 15.0);
}

QString shownText(QWidget* control) {
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        return button->text();
    }
    if (auto* label = qobject_cast<QLabel*>(control)) {
        return label->text();
    }
    if (auto* box = qobject_cast<QPlainTextEdit*>(control)) {
        return box->toPlainText();
    }
    return {};
}

// The colour a control fills its area with, and the colour of its text.
QColor backColour(QWidget* control) {
    if (qobject_cast<QAbstractScrollArea*>(control) != nullptr) {
        return control->palette().color(QPalette::Base);
    }
    return control->autoFillBackground() ? control->palette().color(control->backgroundRole())
                                         : QColor();
}

QColor foreColour(QWidget* control) {
    if (qobject_cast<QAbstractScrollArea*>(control) != nullptr) {
        return control->palette().color(QPalette::Text);
    }
    return control->palette().color(control->foregroundRole());
}

// The controls Tab visits, starting at the one that has the focus when the page opens.
std::vector<QString> tabOrder(QWidget* page) {
    std::vector<QString> order;
    QWidget* first = page->focusWidget();
    if (first == nullptr) {
        return order;
    }
    QWidget* control = first;
    do {
        if ((control->focusPolicy() & Qt::TabFocus) != 0 && control->isVisibleTo(page) &&
            control->isEnabled() && control != page) {
            order.push_back(control->objectName());
        }
        control = control->nextInFocusChain();
    } while (control != first && order.size() < 20);
    return order;
}

std::string rowName(const ::testing::TestParamInfo<std::tuple<size_t, int>>& info) {
    const auto& row = pageRows()[std::get<0>(info.param)];
    return pageWindowName(row.page).toStdString() + "_" + std::to_string(std::get<1>(info.param));
}

class PageDesign : public ::testing::TestWithParam<std::tuple<size_t, int>> {
protected:
    const PageRow& row() const { return pageRows()[std::get<0>(GetParam())]; }
    qint16 textBase() const { return static_cast<qint16>(std::get<1>(GetParam())); }

    Wizard wizard{textBase()};
};

const QColor kBlueColour(21, 59, 121);
const QColor kWhiteColour(255, 255, 255);

} // namespace

TEST_P(PageDesign, WindowHasItsFixedEnglishCaptionSizeIconAndIsCentred) {
    StepPage* page = wizard.open(row().page);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->objectName(), pageWindowName(row().page));
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(page->size(), QSize(654, 549));
    EXPECT_EQ(page->palette().color(QPalette::Window), kBlueColour);
    EXPECT_TRUE(page->autoFillBackground());
    // Every page is shown in the line's one window, which takes its caption, size and icon.
    QWidget* window = page->window();
    ASSERT_EQ(window, &wizard.window);
    EXPECT_EQ(page->pos(), QPoint(0, 0));
    EXPECT_EQ(window->windowTitle(), QString::fromLatin1(row().caption));
    EXPECT_EQ(window->size(), page->size());
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "the window must not be resizable";
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window->windowIcon().isNull());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(std::abs(window->x() - (screen.x() + (screen.width() - window->width()) / 2)), 1);
    EXPECT_LE(std::abs(window->y() - (screen.y() + (screen.height() - window->height()) / 2)), 1);
}

TEST_P(PageDesign, ControlsStandWhereTheDesignPutsThemAndShowTheirTexts) {
    StepPage* page = wizard.open(row().page);
    ASSERT_NE(page, nullptr);
    for (const ControlRow& control : row().controls) {
        SCOPED_TRACE(control.name);
        auto* widget = page->findChild<QWidget*>(QString::fromLatin1(control.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(widget->isVisible());
        EXPECT_EQ(widget->geometry(), QRect(pixels(control.left), pixels(control.top),
                                            pixels(control.width), pixels(control.height)));
        const QString expected =
            control.text == 0 ? QString() : CatalogText(textBase(), control.text);
        EXPECT_EQ(shownText(widget), expected);
    }
    for (const char* name : row().absent) {
        EXPECT_EQ(page->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    }
}

TEST_P(PageDesign, PicturesComeFromTheCatalog) {
    StepPage* page = wizard.open(row().page);
    ASSERT_NE(page, nullptr);
    for (const ControlRow& control : row().controls) {
        if (!control.picture.area) {
            continue;
        }
        SCOPED_TRACE(control.name);
        auto* box = page->findChild<PictureBox*>(QString::fromLatin1(control.name));
        ASSERT_NE(box, nullptr);
        if (!control.picture.picture) {
            EXPECT_TRUE(box->picture().isNull());
        } else {
            EXPECT_EQ(box->picture(),
                      CatalogPicture(*control.picture.picture, 1.0, TextLanguage(textBase())));
        }
    }
}

TEST_P(PageDesign, ColouredControlsAreBlueWithWhiteTextAndButtonsKeepTheSystemLook) {
    StepPage* page = wizard.open(row().page);
    ASSERT_NE(page, nullptr);
    const QPalette system = QApplication::palette();
    for (const ControlRow& control : row().controls) {
        SCOPED_TRACE(control.name);
        auto* widget = page->findChild<QWidget*>(QString::fromLatin1(control.name));
        ASSERT_NE(widget, nullptr);
        if (control.look == Look::BlueOnWhite) {
            EXPECT_EQ(backColour(widget), kBlueColour);
            if (!control.picture.area) {
                EXPECT_EQ(foreColour(widget), kWhiteColour);
            }
        } else if (qobject_cast<QPushButton*>(widget) != nullptr) {
            EXPECT_EQ(widget->palette().color(QPalette::Active, QPalette::Button),
                      system.color(QPalette::Active, QPalette::Button));
            EXPECT_EQ(widget->palette().color(QPalette::Active, QPalette::ButtonText),
                      system.color(QPalette::Active, QPalette::ButtonText));
        }
    }
}

TEST_P(PageDesign, FocusStartsOnTheFirstControlAndTabFollowsTheDesign) {
    StepPage* page = wizard.open(row().page);
    ASSERT_NE(page, nullptr);
    std::vector<QString> expected;
    for (const char* name : row().focusOrder) {
        expected.push_back(QString::fromLatin1(name));
    }
    EXPECT_EQ(tabOrder(page), expected);
}

TEST_P(PageDesign, EnterAndEscBelongToTheDefaultAndCancelButtons) {
    StepPage* page = wizard.open(row().page);
    ASSERT_NE(page, nullptr);
    ASSERT_NE(page->defaultButton(), nullptr);
    ASSERT_NE(page->cancelButton(), nullptr);
    EXPECT_EQ(page->defaultButton()->objectName(), QString::fromLatin1(row().defaultButton));
    EXPECT_TRUE(page->defaultButton()->isDefault());
    EXPECT_EQ(page->cancelButton()->objectName(), QString::fromLatin1(row().cancelButton));
    for (auto* button : page->findChildren<QPushButton*>()) {
        // Step 4's buttons wait for the run's outcome.
        EXPECT_EQ(button->isEnabled(), row().page != PageId::RunningStatusPage)
            << button->objectName().toStdString();
        if (button != page->defaultButton()) {
            EXPECT_FALSE(button->isDefault()) << button->objectName().toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothEditions, PageDesign,
                         ::testing::Combine(::testing::Range<size_t>(0, 5),
                                            ::testing::Values(700, 500)),
                         rowName);

TEST(PageFonts, ControlsAskForTheDesignsFacesAndGetInstalledSubstitutes) {
    const struct {
        PageId page;
        const char* control;
        const char* family;
        double points;
        bool bold;
        const char* rendered;
    } rows[] = {
        {PageId::WelcomePage, "txt1", "MS Sans Serif", 12, false, "Liberation Sans"},
        {PageId::WelcomePage, "lblVersion", "Verdana", 8.4, false, "DejaVu Sans"},
        {PageId::PowerPage, "txt1", "MS Sans Serif", 12, false, "Liberation Sans"},
        {PageId::CablePage, "txt1", "MS Sans Serif", 12, false, "Liberation Sans"},
        {PageId::SetupModePage, "Option1(0)", "MS Sans Serif", 12, true, "Liberation Sans"},
        {PageId::SetupModePage, "Label1", "MS Sans Serif", 12, false, "Liberation Sans"},
        {PageId::SetupModePage, "lblVersion", "Verdana", 8.4, false, "DejaVu Sans"},
        {PageId::RunningStatusPage, "lblVersion", "Verdana", 8.4, false, "DejaVu Sans"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.control);
        Wizard wizard(700);
        StepPage* page = wizard.open(row.page);
        auto* control = page->findChild<QWidget*>(QString::fromLatin1(row.control));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->font().family(), QString::fromLatin1(row.family));
        EXPECT_DOUBLE_EQ(control->font().pointSizeF(), row.points);
        EXPECT_EQ(control->font().bold(), row.bold);
        EXPECT_EQ(QFontInfo(control->font()).family(), QString::fromLatin1(row.rendered));
    }
}

TEST(PageTexts, QuotesAndDoubleSpacesReachTheScreenUnchanged) {
    Wizard wizard(700);
    wizard.open(PageId::PowerPage);
    auto* text = wizard.page()->findChild<QPlainTextEdit*>(QStringLiteral("txt1"));
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(
        text->toPlainText().contains(QStringLiteral("(AC IN).  Push the \"Start\" button")));
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_EQ(text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(text->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    auto* version = wizard.page()->findChild<QLabel*>(QStringLiteral("lblVersion"));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text(), QStringLiteral("Version v2.2  2004/10/08"));
    EXPECT_EQ(version->textFormat(), Qt::PlainText);
}

TEST(PageTexts, TheExpressChoiceStandsSelected) {
    for (const qint16 base : {qint16(700), qint16(500)}) {
        Wizard wizard(base);
        wizard.open(PageId::SetupModePage);
        auto* choice = wizard.page()->findChild<QRadioButton*>(QStringLiteral("Option1(0)"));
        ASSERT_NE(choice, nullptr);
        EXPECT_TRUE(choice->isChecked());
        choice->click();
        EXPECT_TRUE(choice->isChecked()) << "clicking the selected choice must not clear it";
    }
}
