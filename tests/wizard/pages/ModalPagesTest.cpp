// The two pages Step 4 shows modally: the device list and the credentials page. Layout, cells,
// selection, keys, what Next and Exit leave in the settings, and the dialogs' modal runs.
#include "PageTestSupport.h"
#include "appliance/DeviceListCells.h"
#include "pages/CredentialsPage.h"
#include "pages/DeviceListPage.h"
#include "pages/ElidedCellTips.h"
#include "pages/ModalRunDialogs.h"
#include "pages/PageDesign.h"
#include "pages/Twips.h"
#include "support/Addresses.h"
#include "texts/AddedTexts.h"
#include "texts/TextCatalog.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionHeader>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>
#include <QWindow>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

using namespace tarvex;
using namespace tarvex::testing;

namespace {

enum class Kind { List, Credentials };

struct ControlRow {
    const char* name;
    int left, top, width, height; // twips
    int text;                     // catalog offset; 0: no catalog text
    const char* family;           // nullptr: the window's default font
    double points;
    bool blue; // blue background, white text
};

struct DesignRow {
    Kind kind;
    const char* caption;
    QSize size;
    std::vector<ControlRow> controls;
    std::vector<const char*> focusOrder;
};

const DesignRow& designOf(Kind kind) {
    static const DesignRow list{
        Kind::List,
        "Dravik Configuration and Setup Utility - Select Dravik to configure",
        {608, 376},
        {{"ListView1", 0, 0, 9135, 4095, 0, "Arial", 9, false},
         {"Label1", 120, 4320, 8655, 495, 9, "新細明體", 12, true},
         {"nextButton", 6240, 5040, 1335, 495, 1, nullptr, 0, false},
         {"exitButton", 7800, 5040, 1215, 495, 3, nullptr, 0, false},
         {"lblVersion", 120, 5160, 3375, 255, 58, "Verdana", 8.4, true}},
        {"ListView1", "nextButton", "exitButton"}};
    static const DesignRow credentials{
        Kind::Credentials,
        "Dravik Configuration and Setup Utility - Config",
        {345, 264},
        {{"txtPassword", 2160, 840, 2655, 420, 0, "MS Sans Serif", 12, false},
         {"txtUsername", 2160, 240, 2655, 420, 0, "MS Sans Serif", 12, false},
         {"exitButton", 3720, 3360, 1335, 495, 25, nullptr, 0, false},
         {"nextButton", 2280, 3360, 1215, 495, 1, nullptr, 0, false},
         {"Label1", 480, 240, 1575, 375, 21, "MS Sans Serif", 12, true},
         {"Label2", 480, 840, 1575, 375, 22, "MS Sans Serif", 12, true},
         {"Label3", 120, 1680, 4935, 1455, 23, "MS Sans Serif", 12, true}},
        {"txtPassword", "txtUsername", "exitButton", "nextButton"}};
    return kind == Kind::List ? list : credentials;
}

const QColor kBlueColour(21, 59, 121);
const QColor kWhiteColour(255, 255, 255);

DeviceRecord record(const char* address, const QByteArray& host, qint64 capacity) {
    DeviceRecord result;
    result.IpAddress = address;
    result.HostName = host;
    result.DiskModel = "ST3160023AS";
    result.DiskCapacity = capacity;
    result.DiskTotal = 156000000;
    result.DiskAvailable = 150000000;
    return result;
}

// A wizard at Step 4, the owner of the modal pages, with a given number of discovered devices.
class ModalPages : public ::testing::Test {
protected:
    explicit ModalPages(qint16 textBase = 700) : wizard(textBase) {
        step4 = wizard.open(PageId::RunningStatusPage);
    }

    // The first `count` appliances, each reached at its own address or not as `reached` says.
    static QList<ApplianceRow> discovered(int count, const QList<Reachability>& reached = {}) {
        const DeviceRecord records[] = {record("192.168.0.5", "Dravik-01", 312581808),
                                        record("192.168.0.77", "網路硬碟", 1000000),
                                        record("10.0.0.3", "line\nfeed", 1954)};
        QList<ApplianceRow> rows;
        for (int i = 0; i < count; ++i) {
            ApplianceRow row;
            row.record = records[i];
            row.address = row.sender =
                tarvex::testing::Address(QString::fromLatin1(records[i].IpAddress));
            row.reachability = reached.value(i, Reachability::No);
            rows.append(row);
        }
        return rows;
    }

    // A loaded page over Step 4, shown without modality so that a test drives it directly.
    template <typename Page, typename... Args> Page* show(Args&&... args) {
        auto* page = new Page(wizard.flow, std::forward<Args>(args)..., step4);
        page->pageLoaded();
        page->show();
        return page;
    }

    Wizard wizard;
    QPointer<StepPage> step4;
};

template <typename T> T* child(QWidget* page, const char* name) {
    auto* found = page->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

class ModalPageDesign : public ModalPages,
                        public ::testing::WithParamInterface<std::tuple<Kind, int>> {
protected:
    ModalPageDesign() : ModalPages(static_cast<qint16>(std::get<1>(GetParam()))) {}
    qint16 textBase() const { return static_cast<qint16>(std::get<1>(GetParam())); }
};

} // namespace

TEST_P(ModalPageDesign, MatchesItsWindowDesign) {
    const DesignRow& row = designOf(std::get<0>(GetParam()));
    ModalPage* page = row.kind == Kind::List
                          ? static_cast<ModalPage*>(show<DeviceListPage>(
                                discovered(3, {Reachability::Yes, Reachability::No})))
                          : show<CredentialsPage>();
    EXPECT_EQ(page->windowTitle(), QString::fromUtf8(row.caption));
    EXPECT_EQ(page->size(), row.size);
    EXPECT_EQ(page->minimumSize(), page->maximumSize());
    EXPECT_TRUE(page->isModal());
    EXPECT_EQ(page->palette().color(QPalette::Window), kBlueColour);
    for (const ControlRow& control : row.controls) {
        SCOPED_TRACE(control.name);
        auto* widget = child<QWidget>(page, control.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(),
                  twipsRect(control.left, control.top, control.width, control.height));
        if (control.text != 0) {
            const auto* button = qobject_cast<QPushButton*>(widget);
            const auto* label = qobject_cast<QLabel*>(widget);
            EXPECT_EQ(button != nullptr ? button->text() : label->text(),
                      CatalogText(textBase(), control.text));
        }
        const QFont expected = control.family != nullptr
                                   ? design::font(QString::fromUtf8(control.family), control.points)
                                   : QApplication::font(widget);
        EXPECT_EQ(widget->font().family(), expected.family());
        EXPECT_DOUBLE_EQ(widget->font().pointSizeF(), expected.pointSizeF());
        // Every text of the wizard has proportional Latin letters, the Ming labels' too.
        const QFontMetrics metrics(widget->font());
        EXPECT_LT(metrics.horizontalAdvance(QStringLiteral("iiii")),
                  metrics.horizontalAdvance(QStringLiteral("WWWW")));
        if (control.blue) {
            EXPECT_EQ(widget->palette().color(widget->backgroundRole()), kBlueColour);
            EXPECT_EQ(widget->palette().color(widget->foregroundRole()), kWhiteColour);
        }
    }
    std::vector<QString> order;
    for (QWidget* control = page->focusWidget(); order.size() < row.focusOrder.size();
         control = control->nextInFocusChain()) {
        if ((control->focusPolicy() & Qt::TabFocus) != 0 && control != page) {
            order.push_back(control->objectName());
        }
    }
    EXPECT_EQ(order, std::vector<QString>(row.focusOrder.begin(), row.focusOrder.end()));
    EXPECT_EQ(page->defaultButton(), child<QPushButton>(page, "nextButton"));
    EXPECT_EQ(page->cancelButton(), child<QPushButton>(page, "exitButton"));
    if (row.kind == Kind::Credentials) {
        for (const char* box : {"txtUsername", "txtPassword"}) {
            EXPECT_EQ(child<QLineEdit>(page, box)->text(), QStringLiteral("qorvu"));
            EXPECT_EQ(child<QLineEdit>(page, box)->echoMode(), QLineEdit::Normal);
        }
    } else {
        auto* list = child<QTreeWidget>(page, "ListView1");
        EXPECT_FALSE(list->rootIsDecorated());
        EXPECT_FALSE(list->isSortingEnabled());
        EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
        QHeaderView* header = list->header();
        for (int column = 0; column < 8; ++column) {
            const QString heading = list->headerItem()->text(column);
            EXPECT_EQ(heading, CatalogText(textBase(), 10 + column));
            // Room on either side of the text, for a Chinese heading too: none is cut.
            QStyleOptionHeader option;
            option.initFrom(header);
            option.rect = QRect(0, 0, list->columnWidth(column), header->height());
            const QRect label =
                header->style()->subElementRect(QStyle::SE_HeaderLabel, &option, header);
            EXPECT_GE(label.width(), header->fontMetrics().horizontalAdvance(heading) + 4)
                << column;
        }
        EXPECT_EQ(list->columnCount(), 8) << "one adapter: none named";
        // A PC with several adapters: each row names its own in a last column.
        QList<ApplianceRow> rows = discovered(3, {Reachability::Yes, Reachability::No});
        rows[0].adapter = "eth0";
        rows[1].adapter = rows[2].adapter = "eth1";
        // A full list that left senders out says how many in a line under it.
        auto* named = new DeviceListPage(wizard.flow, rows, step4, true, 12);
        named->pageLoaded();
        auto* wide = child<QTreeWidget>(named, "ListView1");
        ASSERT_EQ(wide->columnCount(), 9);
        EXPECT_EQ(wide->headerItem()->text(8), textBase() == 500 ? "介面卡" : "Adapter");
        EXPECT_EQ(wide->topLevelItem(2)->text(8), "eth1");
        EXPECT_EQ(wide->topLevelItem(2)->text(1), "No");
        auto* line = child<QLabel>(named, "lblUnlisted");
        EXPECT_EQ(line->text(),
                  AddedCatalogText(textBase(), AddedText::UnlistedReplies).arg(12).arg(1000));
        EXPECT_FALSE(line->isHidden());
        EXPECT_LE(wide->geometry().bottom(), line->geometry().top());
        EXPECT_LE(line->geometry().bottom(), child<QLabel>(named, "Label1")->geometry().top());
        EXPECT_TRUE(child<QLabel>(page, "lblUnlisted")->isHidden());
        delete named;
    }
    delete page;
}

INSTANTIATE_TEST_SUITE_P(BothEditions, ModalPageDesign,
                         ::testing::Combine(::testing::Values(Kind::List, Kind::Credentials),
                                            ::testing::Values(700, 500)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) == Kind::List
                                                    ? "DeviceListPage_"
                                                    : "CredentialsPage_") +
                                    std::to_string(std::get<1>(info.param));
                         });

TEST_F(ModalPages, DeviceListShowsTheTableInOrderWithTheFirstRowSelected) {
    const QList<ApplianceRow> rows = discovered(3, {Reachability::Yes, Reachability::No});
    auto* page = show<DeviceListPage>(rows);
    auto* list = child<QTreeWidget>(page, "ListView1");
    ASSERT_EQ(list->topLevelItemCount(), 3);
    const QList<Reachability> cells{Reachability::Yes, Reachability::No, Reachability::No};
    for (int i = 0; i < 3; ++i) {
        const QTreeWidgetItem* row = list->topLevelItem(i);
        QStringList shown;
        for (int column = 0; column < 8; ++column) {
            shown.append(row->text(column));
        }
        EXPECT_EQ(shown, DeviceListRow(static_cast<qint16>(i), rows[i].record, cells.at(i)));
        EXPECT_FALSE(row->flags().testFlag(Qt::ItemIsEditable));
    }
    EXPECT_EQ(list->selectedItems(), QList<QTreeWidgetItem*>{list->topLevelItem(0)});
    int widths = 0;
    for (int column = 0; column < 7; ++column) {
        EXPECT_GE(list->columnWidth(column), list->header()->sectionSizeHint(column)) << column;
        for (int i = 0; i < 3; ++i) {
            const QString cell = list->topLevelItem(i)->text(column);
            EXPECT_GT(list->columnWidth(column), list->fontMetrics().horizontalAdvance(cell))
                << column;
        }
        widths += list->columnWidth(column);
    }
    EXPECT_EQ(widths + list->columnWidth(7), list->viewport()->width()) << "the last one fills";
    delete page;

    // A long list opens with its first rows and takes in the rest a part at a time, in order.
    QList<ApplianceRow> many;
    for (int i = 0; i < 70; ++i) {
        many += rows;
    }
    auto* longPage = show<DeviceListPage>(many);
    auto* longList = child<QTreeWidget>(longPage, "ListView1");
    EXPECT_LT(longList->topLevelItemCount(), many.size());
    EXPECT_FALSE(longPage->filled());
    ASSERT_TRUE(QTest::qWaitFor([longPage] { return longPage->filled(); }, 5000));
    ASSERT_EQ(longList->topLevelItemCount(), many.size());
    for (int i = 0; i < many.size(); i += 37) {
        EXPECT_EQ(longList->topLevelItem(i)->text(0), QString::number(i));
    }
    EXPECT_EQ(longList->selectedItems(), QList<QTreeWidgetItem*>{longList->topLevelItem(0)});
    delete longPage;
}

// A name as long as an appliance may send takes no more than a third of the list, elided; its
// tooltip holds it whole, in lines.
TEST_F(ModalPages, ALongNameIsElidedWithTheWholeOfItInItsTooltip) {
    QList<ApplianceRow> rows = discovered(2);
    rows[1].record.HostName = QByteArray(255, 'W');
    auto* page = show<DeviceListPage>(rows);
    auto* list = child<QTreeWidget>(page, "ListView1");
    EXPECT_LE(list->columnWidth(2), list->viewport()->width() / 3);
    const QRect cell = list->visualItemRect(list->topLevelItem(1))
                           .intersected(QRect(list->header()->sectionViewportPosition(2), 0,
                                              list->columnWidth(2), 1 << 20));
    QHelpEvent hover(QEvent::ToolTip, cell.center(), list->viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(list->viewport(), &hover);
    EXPECT_EQ(QToolTip::text(), CellTipText(QString(255, u'W')));
    EXPECT_EQ(CellTipText(QStringLiteral("<b>&"), 2),
              QStringLiteral("<p style=\"white-space:pre\">&lt;b<br>&gt;&amp;</p>"));
    delete page;
}

TEST_F(ModalPages, AnEmptyDeviceListKeepsItsHeadersAtTheirDefaultWidths) {
    auto* page = show<DeviceListPage>(QList<ApplianceRow>{});
    auto* list = child<QTreeWidget>(page, "ListView1");
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_EQ(list->columnCount(), 8);
    for (int column = 0; column < 7; ++column) {
        EXPECT_EQ(list->columnWidth(column), list->header()->defaultSectionSize()) << column;
    }
    page->defaultButton()->click();
    EXPECT_TRUE(page->isVisible()) << "Next without a row does nothing";
    EXPECT_EQ(page->chosenRow(), std::nullopt);
    delete page;
}

TEST_F(ModalPages, NextHandsBackTheSelectedRow) {
    for (const int downs : {0, 2, 1}) { // arrow presses before Enter
        SCOPED_TRACE(downs);
        QPointer<DeviceListPage> page = show<DeviceListPage>(discovered(3));
        for (int i = 0; i < downs; ++i) {
            press(page, Qt::Key_Down);
        }
        press(page, Qt::Key_Return);
        EXPECT_FALSE(page->isVisible());
        EXPECT_EQ(page->result(), QDialog::Accepted);
        EXPECT_EQ(page->chosenRow(), downs);
        delete page;
    }
    EXPECT_TRUE(wizard.dialogs.shown().isEmpty());
}

TEST_F(ModalPages, DeviceListCloseBoxLeavesTheSelectionAndExitAsksToEndTheProgram) {
    QPointer<DeviceListPage> page = show<DeviceListPage>(discovered(1, {Reachability::Yes}));
    EXPECT_TRUE(page->close());
    EXPECT_EQ(page->chosenRow(), std::nullopt);
    EXPECT_TRUE(wizard.dialogs.shown().isEmpty());

    page->show();
    wizard.dialogs.setNextAnswer(MessageAnswer::Cancel);
    press(page, Qt::Key_Escape);
    ASSERT_EQ(wizard.dialogs.shown().size(), 1);
    EXPECT_EQ(wizard.dialogs.shown().front(),
              (Message{CatalogText(700, 7), CatalogText(700, 8), MessageButtons::OkCancel,
                       MessageIcon::None}));
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(wizard.end.count(), 0);

    page->cancelButton()->click(); // answered OK
    EXPECT_EQ(wizard.end.count(), 1);
    EXPECT_FALSE(page->isVisible());
    Wizard::settle();
    EXPECT_TRUE(step4.isNull()) << "Step 4 goes with the program";
}

TEST_F(ModalPages, CredentialsNextAnswersBothBoxesOnlyWhenBothAreFilled) {
    const struct {
        const char* user;
        const char* password;
        bool stored;
    } rows[] = {
        {"qorvu", "qorvu", true}, {"  ", " ", true}, {"admin", "", false}, {"", "secret", false}};
    const Message missing{CatalogText(700, 27), std::nullopt, MessageButtons::Ok,
                          MessageIcon::None};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.user);
        wizard.dialogs.clear();
        QPointer<CredentialsPage> page = show<CredentialsPage>();
        child<QLineEdit>(page, "txtUsername")->setText(QString::fromLatin1(row.user));
        child<QLineEdit>(page, "txtPassword")->setText(QString::fromLatin1(row.password));
        press(page, Qt::Key_Return);
        EXPECT_FALSE(page->isVisible()) << "the page closes either way";
        EXPECT_EQ(page->result(), QDialog::Accepted);
        const Credentials expected = row.stored ? Credentials{QString::fromLatin1(row.user),
                                                              QString::fromLatin1(row.password)}
                                                : Credentials{};
        EXPECT_EQ(page->credentials(), expected);
        EXPECT_EQ(wizard.dialogs.shown(), row.stored ? QList<Message>{} : QList<Message>{missing});
        delete page;
    }
}

TEST_F(ModalPages, LeavingTheCredentialsPageAnyWayAsksAndCancelKeepsWhatWasTyped) {
    const Message question{CatalogText(700, 26), CatalogText(700, 8), MessageButtons::OkCancel,
                           MessageIcon::None};
    const std::function<void(CredentialsPage*)> ways[] = {
        [](CredentialsPage* page) { page->cancelButton()->click(); },
        [](CredentialsPage* page) { press(page, Qt::Key_Escape); },
        [](CredentialsPage* page) {
            page->close();
        }};
    for (const auto& leave : ways) {
        wizard.dialogs.clear();
        QPointer<CredentialsPage> page = show<CredentialsPage>();
        child<QLineEdit>(page, "txtUsername")->setText(QStringLiteral("admin"));
        wizard.dialogs.setNextAnswer(MessageAnswer::Cancel);
        leave(page);
        EXPECT_TRUE(page->isVisible());
        EXPECT_EQ(child<QLineEdit>(page, "txtUsername")->text(), QStringLiteral("admin"));
        wizard.dialogs.setNextAnswer(MessageAnswer::Ok);
        leave(page);
        EXPECT_FALSE(page->isVisible());
        EXPECT_EQ(page->result(), QDialog::Rejected);
        EXPECT_EQ(wizard.dialogs.shown(), (QList<Message>{question, question}));
        EXPECT_EQ(page->credentials(), std::nullopt);
        EXPECT_EQ(wizard.end.count(), 0) << "leaving the setup does not end the program";
        delete page;
    }
}

TEST_F(ModalPages, RunDialogsShowFreshCentredModalPagesAndReportHowTheyClosed) {
    ModalRunDialogs dialogs(step4, wizard.flow);
    // Acts on the modal page once the event loop runs.
    const auto whenShown = [this](const std::function<void(QWidget*)>& act) {
        QTimer::singleShot(0, [this, act] {
            QWidget* page = QApplication::activeModalWidget();
            ASSERT_NE(page, nullptr);
            EXPECT_EQ(page->windowModality(), Qt::ApplicationModal);
            // Over the wizard's window, so that a compositor places it there.
            ASSERT_NE(page->windowHandle(), nullptr);
            EXPECT_EQ(page->windowHandle()->transientParent(), wizard.window.windowHandle());
            EXPECT_EQ(wizard.window.dialogParent(), page) << "a box over it stands over it";
            const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
            EXPECT_LE(std::abs(page->x() - (screen.x() + (screen.width() - page->width()) / 2)), 1);
            EXPECT_LE(std::abs(page->y() - (screen.y() + (screen.height() - page->height()) / 2)),
                      1);
            act(page);
        });
    };
    std::optional<std::optional<qsizetype>> listAnswer;
    whenShown([](QWidget* page) {
        press(page, Qt::Key_Down);
        press(page, Qt::Key_Return);
    });
    const auto row = [](Reachability reachability) {
        ApplianceRow made;
        made.address = made.sender = Ipv4Address(0x0a000001U);
        made.reachability = reachability;
        return made;
    };
    dialogs.showDeviceList(
        {row(Reachability::Yes), row(Reachability::No), row(Reachability::Yes)}, false, 0,
        [&listAnswer](std::optional<qsizetype> chosen) { listAnswer.emplace(chosen); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return listAnswer.has_value(); }, 5000));
    EXPECT_EQ(*listAnswer, 1);

    // Answered: what was typed, or none when the setup was abandoned.
    std::optional<std::optional<Credentials>> outcome;
    const auto credentials = [&dialogs, &outcome] {
        outcome.reset();
        dialogs.showCredentials(
            [&outcome](std::optional<Credentials> given) { outcome.emplace(std::move(given)); });
        (void)QTest::qWaitFor([&] { return outcome.has_value(); }, 500);
        return outcome;
    };
    whenShown([](QWidget* page) { press(page, Qt::Key_Return); });
    using Answer = std::optional<std::optional<Credentials>>;
    EXPECT_EQ(credentials(), Answer(Credentials{"qorvu", "qorvu"}));

    whenShown([](QWidget* page) { press(page, Qt::Key_Escape); }); // answered OK
    EXPECT_EQ(credentials(), Answer(std::in_place));

    // The program ending while the page is up takes Step 4 and the page with it, unanswered.
    whenShown([this](QWidget*) {
        ASSERT_TRUE(wizard.flow.ConfirmExit());
        Wizard::settle();
    });
    EXPECT_EQ(credentials(), std::nullopt);
    EXPECT_TRUE(step4.isNull());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    dialogs.showDeviceList({}, {}, 0, [](std::optional<qsizetype>) {
        ADD_FAILURE() << "no list over a page that is gone";
    });
}
