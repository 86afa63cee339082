// The line of step pages: hand-overs, Enter and Esc, the exit confirmation and the close box.
#include "PageTestSupport.h"
#include "pages/RunningStatusPage.h"
#include "support/UserLanguages.h"
#include "texts/TextCatalog.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace tarvex;
using namespace tarvex::testing;

namespace {

int visibleStepPages() {
    int count = 0;
    for (QWidget* widget : QApplication::allWidgets()) {
        if (qobject_cast<StepPage*>(widget) != nullptr && widget->isVisible()) {
            ++count;
        }
    }
    return count;
}

int visibleWindows() {
    int count = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        count += window->isVisible() ? 1 : 0;
    }
    return count;
}

void click(StepPage* page, const char* button) {
    auto* control = page->findChild<QPushButton*>(QString::fromLatin1(button));
    ASSERT_NE(control, nullptr) << button;
    control->click();
}

Message exitQuestion(qint16 textBase) {
    return {CatalogText(textBase, 7), CatalogText(textBase, 8), MessageButtons::OkCancel,
            MessageIcon::None};
}

// Records, each time a step page is shown, whether the page it replaces was still on screen.
class ShowOrder final : public QObject {
public:
    explicit ShowOrder(PageFlow& flow) : flow_(flow) { qApp->installEventFilter(this); }
    ~ShowOrder() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && qobject_cast<StepPage*>(watched) != nullptr &&
            flow_.currentPage() != nullptr && flow_.currentPage() != watched) {
            previousStillShown.push_back(flow_.currentPage()->isVisible());
        }
        return false;
    }
    std::vector<bool> previousStillShown;

private:
    PageFlow& flow_;
};

// The line of pages in the set the wizard takes under a desktop session's language settings.
class LineOfPages : public ::testing::TestWithParam<LanguageRow> {
protected:
    void SetUp() override { ASSERT_EQ(textBase(), GetParam().textBase); }
    qint16 textBase() const { return static_cast<qint16>(textBaseUnder(GetParam())); }
    Wizard wizard{textBase()};
};

} // namespace

TEST_P(LineOfPages, EnterWalksToStep3AndPreviousBackAndEveryVisitLooksTheSame) {
    const PageId line[] = {PageId::WelcomePage, PageId::PowerPage, PageId::CablePage,
                           PageId::SetupModePage};
    QList<QImage> firstVisit;
    wizard.flow.start();
    for (int step = 0; step < 4; ++step) {
        Wizard::settle();
        StepPage* page = wizard.page();
        ASSERT_NE(page, nullptr);
        ASSERT_EQ(page->pageId(), line[step]);
        EXPECT_EQ(visibleStepPages(), 1);
        // One window for the whole line: it takes each page's caption.
        EXPECT_EQ(page->window(), &wizard.window);
        EXPECT_EQ(visibleWindows(), 1);
        EXPECT_EQ(wizard.window.windowTitle(), pageCaption(line[step]));
        firstVisit.append(snapshot(page));
        if (step < 3) {
            QPointer<StepPage> leaving(page);
            press(page, Qt::Key_Return);
            Wizard::settle();
            EXPECT_TRUE(leaving.isNull()) << "the page Next left must be unloaded";
        }
    }
    for (int step = 3; step > 0; --step) {
        click(wizard.page(), "previousButton");
        Wizard::settle();
        StepPage* page = wizard.page();
        ASSERT_NE(page, nullptr);
        ASSERT_EQ(page->pageId(), line[step - 1]);
        EXPECT_EQ(visibleStepPages(), 1);
        EXPECT_EQ(snapshot(page), firstVisit[step - 1]) << "step " << step - 1;
    }
    EXPECT_EQ(wizard.end.count(), 0);
    EXPECT_TRUE(wizard.dialogs.shown().isEmpty());
}

TEST_P(LineOfPages, EscOpensTheExitQuestionCancelKeepsThePageOkEndsTheProgram) {
    for (const PageId pageId : kPageLine) {
        SCOPED_TRACE(pageWindowName(pageId).toStdString());
        Wizard local(textBase());
        QPointer<StepPage> page(local.open(pageId));
        ASSERT_FALSE(page.isNull());
        if (pageId == PageId::RunningStatusPage) {
            // While the run works its Exit is disabled, and so is Esc.
            press(page, Qt::Key_Escape);
            EXPECT_TRUE(local.dialogs.shown().isEmpty());
            qobject_cast<RunningStatusPage*>(page.data())->setButtonsEnabled(true);
        }
        const QImage before = snapshot(page);

        local.dialogs.setNextAnswer(MessageAnswer::Cancel);
        press(page, Qt::Key_Escape);
        Wizard::settle();
        ASSERT_EQ(local.dialogs.shown().size(), 1);
        EXPECT_EQ(local.dialogs.shown().front(), exitQuestion(textBase()));
        ASSERT_FALSE(page.isNull());
        EXPECT_EQ(local.page(), page.data());
        EXPECT_TRUE(page->isVisible());
        EXPECT_EQ(snapshot(page), before);
        EXPECT_EQ(local.end.count(), 0);

        local.dialogs.setNextAnswer(MessageAnswer::Ok);
        press(page, Qt::Key_Escape);
        Wizard::settle();
        EXPECT_EQ(local.dialogs.shown().size(), 2);
        EXPECT_EQ(local.end.count(), 1);
        EXPECT_EQ(local.page(), nullptr);
        EXPECT_TRUE(page.isNull()) << "the page must be unloaded before the program ends";
        EXPECT_TRUE(local.flow.programEnded());
    }
}

TEST_P(LineOfPages, ExitButtonAsksTheSameQuestion) {
    wizard.open(PageId::CablePage);
    wizard.dialogs.setNextAnswer(MessageAnswer::Ok);
    click(wizard.page(), "exitButton");
    ASSERT_EQ(wizard.dialogs.shown().size(), 1);
    EXPECT_EQ(wizard.dialogs.shown().front(), exitQuestion(textBase()));
    EXPECT_EQ(wizard.end.count(), 1);
}

TEST_P(LineOfPages, TheCloseBoxEndsTheProgramWithoutAsking) {
    for (const PageId pageId : kPageLine) {
        SCOPED_TRACE(pageWindowName(pageId).toStdString());
        Wizard local(textBase());
        QPointer<StepPage> page(local.open(pageId));
        ASSERT_FALSE(page.isNull());
        EXPECT_TRUE(local.window.close());
        Wizard::settle();
        EXPECT_EQ(local.end.count(), 1);
        EXPECT_TRUE(local.dialogs.shown().isEmpty());
        EXPECT_TRUE(page.isNull());
        EXPECT_EQ(visibleStepPages(), 0);
        EXPECT_EQ(visibleWindows(), 0);
    }
}

TEST_P(LineOfPages, ReturningToTheWelcomePageAssignsTheLookAgain) {
    wizard.open(PageId::WelcomePage);
    const PageSettings assigned = wizard.settings;
    EXPECT_EQ(assigned.TextBase, textBase());
    click(wizard.page(), "nextButton");
    Wizard::settle();
    // Something scribbled over the settings while Step 1 was up.
    wizard.settings.TextBase = 0;
    wizard.settings.PageBackColor = wizard.settings.TextBackColor = 0;
    wizard.settings.TextForeColor = wizard.settings.LabelForeColor = 0x00FF00;
    wizard.settings.OptionBackColor = wizard.settings.LabelBackColor = 0x0000FF;
    click(wizard.page(), "previousButton");
    Wizard::settle();
    ASSERT_EQ(wizard.page()->pageId(), PageId::WelcomePage);
    EXPECT_EQ(wizard.settings.TextBase, textBase());
    EXPECT_EQ(wizard.settings.PageBackColor, assigned.PageBackColor);
    EXPECT_EQ(wizard.settings.TextBackColor, assigned.TextBackColor);
    EXPECT_EQ(wizard.settings.TextForeColor, assigned.TextForeColor);
    EXPECT_EQ(wizard.settings.OptionBackColor, assigned.OptionBackColor);
    EXPECT_EQ(wizard.settings.LabelBackColor, assigned.LabelBackColor);
    EXPECT_EQ(wizard.settings.LabelForeColor, assigned.LabelForeColor);
    auto* next = wizard.page()->findChild<QPushButton*>(QStringLiteral("nextButton"));
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->text(), CatalogText(textBase(), 1));
}

TEST_P(LineOfPages, Step3LeadsToStep4WhosePreviousLeadsBack) {
    wizard.open(PageId::SetupModePage);
    press(wizard.page(), Qt::Key_Enter, Qt::KeypadModifier);
    Wizard::settle();
    ASSERT_EQ(wizard.page()->pageId(), PageId::RunningStatusPage);

    // Enter does nothing while the run works; once it has an outcome, Enter is Previous.
    press(wizard.page(), Qt::Key_Return);
    ASSERT_EQ(wizard.page()->pageId(), PageId::RunningStatusPage);
    qobject_cast<RunningStatusPage*>(wizard.page())->setButtonsEnabled(true);
    press(wizard.page(), Qt::Key_Return);
    Wizard::settle();
    ASSERT_EQ(wizard.page()->pageId(), PageId::SetupModePage);
    auto* choice = wizard.page()->findChild<QRadioButton*>(QStringLiteral("Option1(0)"));
    ASSERT_NE(choice, nullptr);
    EXPECT_TRUE(choice->isChecked());
    EXPECT_EQ(wizard.end.count(), 0);
}

TEST_P(LineOfPages, TheNextPageIsShownBeforeTheCurrentOneIsUnloaded) {
    wizard.open(PageId::WelcomePage);
    ShowOrder order(wizard.flow);
    press(wizard.page(), Qt::Key_Return);
    click(wizard.page(), "nextButton");
    click(wizard.page(), "previousButton");
    EXPECT_EQ(order.previousStillShown, (std::vector<bool>{true, true, true}));
}

TEST_P(LineOfPages, NothingIsShownOnceTheProgramHasEnded) {
    wizard.open(PageId::PowerPage);
    ASSERT_TRUE(wizard.flow.ConfirmExit());
    wizard.flow.ShowPage(PageId::CablePage);
    Wizard::settle();
    EXPECT_EQ(wizard.page(), nullptr);
    EXPECT_EQ(visibleStepPages(), 0);
    EXPECT_EQ(wizard.end.count(), 1);
}

INSTANTIATE_TEST_SUITE_P(UserLanguages, LineOfPages, ::testing::ValuesIn(languageRows()),
                         [](const auto& info) { return std::string(info.param.name); });
