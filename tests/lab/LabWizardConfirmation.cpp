// The whole wizard in the lab after the appliance's "2", believed only once the appliance answers
// from its new address: against a host that takes it, a forged "2", an appliance silent after it.
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
    const char* appliance; // how the foreign appliance of ap3 behaves
    const char* other;     // the arguments of a second host on the PC's subnet (ap1); "": none
    const char* otherDid;  // what its log shows it did
    // Believed (shortcuts written, the program ended): the bounds of the time from its "2" to
    // the note that the shortcuts are written. Both 0: not confirmed.
    qint64 twoToNoteAtLeastMs = 0;
    qint64 twoToNoteBelowMs = 0;
};

class LabWizardConfirmation : public ::testing::TestWithParam<ConfirmationRow> {};

TEST_P(LabWizardConfirmation, TheTwoIsBelievedOnlyFromTheApplianceAtItsNewAddress) {
    TARVEX_REQUIRE_LAB("pc");
    const ConfirmationRow& row = GetParam();
    // An appliance an earlier case moved is back, and the address a taker held is forgotten.
    ASSERT_TRUE(lab::PutForeignApplianceBack() && lab::ForgetNeighbours());
    const lab::SimulatorProcess appliance(
        "ap3", {"--interface", "eth0", "--appliance",
                QStringLiteral("id=MOVE0000000000001,ip=10.77.2.50,host=NAS,user=qorvu,"
                               "password=qorvu,%1")
                    .arg(QLatin1String(row.appliance))});
    ASSERT_TRUE(appliance.ready());
    std::optional<lab::SimulatorProcess> other;
    if (*row.other != '\0') {
        other.emplace("ap1", QString::fromLatin1(row.other).split(' '));
        ASSERT_TRUE(other->ready());
    }
    LabWizard wizard;
    wizard.random.draws = {60.0F / 253.0F, 0.9F}; // 10.77.1.61, free
    wizard.chooseOnList("10.77.2.50");
    wizard.answerCredentials("nextButton");
    qint64 noteAt = -1;
    wizard.dialogs.onShow = [&](qsizetype shown) {
        noteAt = shown == 0 ? wizard.stepsOpened.elapsed() : noteAt;
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
    EXPECT_TRUE(!other || other->log().contains(row.otherDid)) << row.otherDid;
    if (row.twoToNoteBelowMs == 0) {
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

// A host that takes the new address answers "2" from it 3 ms after the request, and discovery in
// the appliance's name; another forges one "2" from the appliance's own address.
constexpr char kTaker[] = "--interface eth0 --appliance "
                          "id=TAKER000000000001,ip=10.77.1.30,host=TAKER,config=takeover,delay=3";
constexpr char kTook[] = "took 10.77.1.61 on eth0:1 for MOVE0000000000001";
constexpr char kForger[] =
    "--appliance id=FORGER00000000001,ip=10.77.1.30,from=10.77.2.50,config=echo,reply=x";
constexpr char kForged[] = "sent from 10.77.2.50 to 255.255.255.255:12310 23 bytes";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Hosts, LabWizardConfirmation, ::testing::Values(
    // Answering from its new address at once: the window ends 0.5 s later.
    ConfirmationRow{"MovedAndAnswering", "move=1", "", "", 450, 1000},
    // Silent after its "2": configured as before once the window (1.5 s here) is over.
    ConfirmationRow{"MovedAndSilent", "move=1,discovery=no", "", "", 1450, 2500},
    // The appliance refuses 0.3 s after the request.
    ConfirmationRow{"TwoFromTheNewAddress", "password=secret,delay=300", kTaker, kTook},
    // The appliance never answers the request: its discovery reply from its old address
    // contradicts.
    ConfirmationRow{"TwoFromTheNewAddressTheApplianceSilent", "config=silent", kTaker, kTook},
    ConfirmationRow{"SpoofedTwo", "password=secret,delay=300", kForger, kForged}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
} // namespace tarvex
