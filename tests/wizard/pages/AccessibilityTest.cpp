// What a screen reader hears of the pages: pictures as named graphics, Step 4's step pictures
// with their state, and texts and list cells whole.
#include "PageTestSupport.h"
#include "pages/DeviceListPage.h"
#include "pages/PictureBox.h"
#include "pages/RunningStatusPage.h"
#include "run/RunPage.h"
#include "texts/TextCatalog.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QLabel>
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
        const char* description;
    } states[] = {{StatusPicture::InProgress, "under way"},
                  {StatusPicture::Done, "done"},
                  {StatusPicture::Failed, "failed"},
                  {StatusPicture::None, "not started"}};
    for (int step = 1; step <= 4; ++step) {
        const QByteArray name = "pic" + QByteArray::number(step);
        QAccessibleInterface* picture = accessible(page, name.constData());
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->role(), QAccessible::Graphic);
        EXPECT_EQ(picture->text(QAccessible::Name), CatalogText(GetParam(), 28 + step));
        for (const auto& state : states) {
            page->setStepPicture(step, state.picture);
            EXPECT_EQ(picture->text(QAccessible::Description),
                      QString::fromLatin1(state.description))
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

INSTANTIATE_TEST_SUITE_P(BothEditions, Accessibility, ::testing::Values(700, 500));

} // namespace
