// The whole wizard in the lab after the appliance's "2": believed only once the appliance answers
// from its new address. Against a host that takes the new address and answers for it, a forged
// "2" from the appliance's own address, and an appliance that keeps silent after its "2".
#include "LabSupport.h"
#include "LabWizard.h"
#include "texts/AddedTexts.h"

#include <QLabel>
#include <iostream>

namespace tarvex {
namespace {

using lab::LabWizard;
using namespace std::chrono_literals;

struct ConfirmationRow {
    const char* name;
    const char* appliance;     // how the foreign appliance of ap3 behaves
    QStringList other;         // a second host on the PC's subnet (ap1); empty: none
    bool believed;             // shortcuts written, the program ended
    qint64 twoToNoteAtLeastMs; // from its "2" to the note that the shortcuts are written
    qint64 twoToNoteBelowMs;
    const char* otherDid = ""; // what the second host's log shows it did
};

void PrintTo(const ConfirmationRow& row, std::ostream* out) {
    *out << row.name;
}

class LabWizardConfirmation : public ::testing::TestWithParam<ConfirmationRow> {};

TEST_P(LabWizardConfirmation, TheTwoIsBelievedOnlyFromTheApplianceAtItsNewAddress) {
    TARVEX_REQUIRE_LAB("pc");
    const ConfirmationRow& row = GetParam();
    // An appliance an earlier case moved is back, and the address a taker held is forgotten.
    ASSERT_TRUE(lab::PutForeignApplianceBack());
    ASSERT_TRUE(lab::ForgetNeighbours());
    const lab::SimulatorProcess appliance(
        "ap3", {"--interface", "eth0", "--appliance",
                QStringLiteral("id=MOVE0000000000001,ip=10.77.2.50,host=NAS,user=qorvu,"
                               "password=qorvu,%1")
                    .arg(QLatin1String(row.appliance))});
    ASSERT_TRUE(appliance.ready());
    std::optional<lab::SimulatorProcess> other;
    if (!row.other.isEmpty()) {
        other.emplace("ap1", row.other);
        ASSERT_TRUE(other->ready());
    }
    LabWizard wizard;
    wizard.random.draws = {60.0F / 253.0F, 0.9F}; // 10.77.1.61, free
    wizard.chooseOnList("10.77.2.50");
    wizard.answerCredentials("nextButton");
    qint64 noteAt = -1;
    wizard.dialogs.onShow = [&](qsizetype index) {
        if (index == 0) {
            noteAt = wizard.stepsOpened.elapsed();
        }
    };
    wizard.start();
    const QString notConfirmed =
        AddedCatalogText(kEnglishTextBase, AddedText::NewAddressNotConfirmed);
    const auto statusLine = [&wizard] {
        auto* label = wizard.flow.currentPage()->findChild<QLabel*>("lblRun");
        return label != nullptr ? label->text() : QString();
    };
    ASSERT_TRUE(wizard.waitFor(
        [&] { return wizard.flow.programEnded() || statusLine() == notConfirmed; }, 20s))
        << statusLine().toStdString();
    EXPECT_EQ(appliance.log().count("|0C02SMOVE000000000000110.77.1.61;"), 1)
        << appliance.log().toStdString();
    if (other) {
        EXPECT_TRUE(other->log().contains(row.otherDid)) << other->log().toStdString();
    }
    if (!row.believed) {
        EXPECT_FALSE(wizard.flow.programEnded());
        EXPECT_TRUE(wizard.desktopFiles().isEmpty());
        ASSERT_EQ(wizard.dialogs.shown().size(), 1);
        EXPECT_EQ(wizard.dialogs.shown()[0].text, notConfirmed);
        EXPECT_TRUE(LabWizard::clickButton(wizard.flow.currentPage(), "previousButton"));
        return;
    }
    EXPECT_TRUE(wizard.desktopFile("Setup My Dravik - NAS.desktop")
                    .contains("Exec=xdg-open http://10.77.1.61\n"));
    const qint64 twoToNote = noteAt - wizard.listener.configureReplyAt;
    std::cout << row.name << ": \"2\" to the shortcuts written " << twoToNote << " ms\n";
    EXPECT_GE(twoToNote, row.twoToNoteAtLeastMs);
    EXPECT_LT(twoToNote, row.twoToNoteBelowMs);
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, LabWizardConfirmation,
    ::testing::Values(
        // It answers from the new address at once: the window ends 0.5 s later.
        ConfirmationRow{"MovedAndAnswering", "move=1", {}, true, 450, 1000},
        // Silent after its "2": configured as before, once the window (1.5 s here) is over.
        ConfirmationRow{"MovedAndSilent", "move=1,discovery=no", {}, true, 1450, 2500},
        // A host that takes the new address answers "2" from it 3 ms after the request, and
        // discovery in the appliance's name; the appliance refuses 0.3 s later.
        ConfirmationRow{"TwoFromTheNewAddress",
                        "password=secret,delay=300",
                        {"--interface", "eth0", "--appliance",
                         "id=TAKER000000000001,ip=10.77.1.30,host=TAKER,config=takeover,delay=3"},
                        false,
                        0,
                        0},
        // The same taker, and an appliance that never answers the request: its discovery reply
        // from its old address is what contradicts.
        ConfirmationRow{"TwoFromTheNewAddressTheApplianceSilent",
                        "config=silent",
                        {"--interface", "eth0", "--appliance",
                         "id=TAKER000000000001,ip=10.77.1.30,host=TAKER,config=takeover,delay=3"},
                        false,
                        0,
                        0,
                        "took 10.77.1.61 on eth0:1 for MOVE0000000000001"},
        // One forged "2" from the address the appliance's discovery reply came from.
        ConfirmationRow{"SpoofedTwo",
                        "password=secret,delay=300",
                        {"--appliance",
                         "id=FORGER00000000001,ip=10.77.1.30,from=10.77.2.50,config=echo,reply=x"},
                        false,
                        0,
                        0}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tarvex
