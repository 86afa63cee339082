// What a screen reader hears of the pages: pictures as named graphics, Step 4's step pictures
// with their state, texts and list cells whole, and every control named in the edition's language.
#include "PageTestSupport.h"
#include "pages/CredentialsPage.h"
#include "pages/DeviceListPage.h"
#include "pages/MessageBoxDialogs.h"
#include "pages/PictureBox.h"
#include "pages/RunningStatusPage.h"
#include "pages/SystemTexts.h"
#include "run/RunPage.h"
#include "support/AccessibilityAudit.h"
#include "texts/AddedTexts.h"
#include "texts/TextCatalog.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <set>

using namespace tarvex;
using namespace tarvex::testing;

namespace {

QAccessibleInterface* accessible(QWidget* page, const char* name) {
    auto* widget = page->findChild<QWidget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget != nullptr ? QAccessible::queryAccessibleInterface(widget) : nullptr;
}

class Accessibility : public ::testing::TestWithParam<int> {
protected:
    Accessibility() : wizard(static_cast<qint16>(GetParam())) {}
    Wizard wizard;
};

TEST_P(Accessibility, BannersAreGraphicsNamedForWhatEachShows) {
    std::set<QString> names;
    wizard.open(PageId::WelcomePage);
    for (PageId id : {PageId::WelcomePage, PageId::PowerPage, PageId::CablePage}) {
        wizard.flow.ShowPage(id);
        Wizard::settle();
        QAccessibleInterface* picture = accessible(wizard.page(), "pic1");
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->role(), QAccessible::Graphic);
        const QString name = picture->text(QAccessible::Name);
        EXPECT_FALSE(name.isEmpty());
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 3U) << "each banner says what it shows";
}

TEST_P(Accessibility, StepPicturesAreNamedAfterTheirStepAndTellItsState) {
    auto* page = qobject_cast<RunningStatusPage*>(wizard.open(PageId::RunningStatusPage));
    ASSERT_NE(page, nullptr);
    const struct {
        StatusPicture picture;
        AddedText description;
    } states[] = {{StatusPicture::InProgress, AddedText::StepUnderWay},
                  {StatusPicture::Done, AddedText::StepDone},
                  {StatusPicture::Failed, AddedText::StepFailed},
                  {StatusPicture::None, AddedText::StepNotStarted}};
    for (int step = 1; step <= 4; ++step) {
        const QByteArray name = "pic" + QByteArray::number(step);
        QAccessibleInterface* picture = accessible(page, name.constData());
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->role(), QAccessible::Graphic);
        EXPECT_EQ(picture->text(QAccessible::Name), CatalogText(GetParam(), 28 + step));
        for (const auto& state : states) {
            page->setStepPicture(step, state.picture);
            EXPECT_EQ(picture->text(QAccessible::Description),
                      AddedCatalogText(GetParam(), state.description))
                << step;
        }
    }
    // The status line reaches the bus whole.
    page->setStatusText(CatalogText(GetParam(), 29));
    EXPECT_EQ(accessible(page, "lblRun")->text(QAccessible::Name), CatalogText(GetParam(), 29));
}

TEST_P(Accessibility, DeviceListCellsReadAsShown) {
    StepPage* step4 = wizard.open(PageId::RunningStatusPage);
    ApplianceRow appliance;
    appliance.record.IpAddress = "192.168.0.5";
    appliance.record.HostName = "網路硬碟";
    appliance.address = appliance.sender = Ipv4Address(0xC0A80005U);
    appliance.reachability = Reachability::Yes;
    auto* page = new DeviceListPage(wizard.flow, {appliance}, step4);
    page->pageLoaded();
    page->show();
    auto* list = page->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
    ASSERT_NE(list, nullptr);
    QAccessibleTableInterface* table =
        QAccessible::queryAccessibleInterface(list)->tableInterface();
    ASSERT_NE(table, nullptr);
    for (int column = 0; column < list->columnCount(); ++column) {
        QAccessibleInterface* cell = table->cellAt(0, column);
        ASSERT_NE(cell, nullptr) << column;
        EXPECT_EQ(cell->text(QAccessible::Name), list->topLevelItem(0)->text(column)) << column;
    }
    delete page;
}

// Every window of the wizard as a screen reader meets it: each control the keyboard reaches and
// each picture has a role and a name, in the edition's language.
TEST_P(Accessibility, EveryWindowNamesEveryControlInTheEditionsLanguage) {
    const bool chinese = GetParam() == 500;
    const auto systemTexts = loadSystemTexts(GetParam());
    if (systemTexts) {
        QApplication::installTranslator(systemTexts.get());
    }
    wizard.open(PageId::WelcomePage);
    for (PageId id : kPageLine) {
        wizard.flow.ShowPage(id);
        Wizard::settle();
        EXPECT_EQ(dravik::testing::accessibilityFaults(*wizard.page(), chinese), "")
            << pageWindowName(id).toStdString();
    }
    StepPage* step4 = wizard.page();

    ApplianceRow appliance;
    appliance.record.IpAddress = "192.168.0.5";
    appliance.address = appliance.sender = Ipv4Address(0xC0A80005U);
    auto* list = new DeviceListPage(wizard.flow, {appliance}, step4);
    auto* credentials = new CredentialsPage(wizard.flow, step4);
    for (ModalPage* page : std::initializer_list<ModalPage*>{list, credentials}) {
        page->pageLoaded();
        page->show();
        EXPECT_EQ(dravik::testing::accessibilityFaults(*page, chinese), "")
            << page->objectName().toStdString();
        delete page;
    }

    // A box with details, these shown.
    MessageBoxDialogs boxes([step4] { return step4; });
    boxes.ask({CatalogText(GetParam(), 7), std::nullopt, MessageButtons::OkCancel,
               MessageIcon::Exclamation, QStringLiteral("details")},
              [](MessageAnswer) {});
    auto* box = step4->findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    for (QAbstractButton* button : box->buttons()) {
        if (box->buttonRole(button) == QMessageBox::ActionRole) {
            button->click(); // "Show Details..."
        }
    }
    EXPECT_EQ(dravik::testing::accessibilityFaults(*box, chinese), "");
    box->button(QMessageBox::Ok)->click();
    Wizard::settle();
    if (systemTexts) {
        QApplication::removeTranslator(systemTexts.get());
    }
}

INSTANTIATE_TEST_SUITE_P(BothEditions, Accessibility, ::testing::Values(700, 500));

} // namespace
