#pragma once

// The whole wizard with the real network services, for the lab tests and the benchmark: the
// real pages, reply port, broadcasts, probes and shortcut files, in a desktop folder of its
// own, and GTK's bookmarks in a configuration folder of its own. Message boxes are answered in
// advance and the opener of addresses is recorded.
#include "LabHost.h"
#include "appliance/DeviceProtocol.h"
#include "desktop/DesktopShortcutWriter.h"
#include "desktop/ThreadedShortcutRunner.h"
#include "net/BroadcastSender.h"
#include "net/NetlinkNeighbourWatch.h"
#include "net/UdpReplyListener.h"
#include "pages/DeviceListPage.h"
#include "pages/PageFlow.h"
#include "pages/PageWindow.h"
#include "pages/RunningStatusPage.h"
#include "pages/StepPage.h"
#include "probe/IcmpProber.h"
#include "probe/ThreadedProbeRunner.h"
#include "run/CandidateAddresses.h"
#include "run/FreeAddressSearch.h"
#include "run/SetupRun.h"
#include "support/Addresses.h"
#include "support/FakeRunServices.h"
#include "support/RecordingProgramEnd.h"
#include "support/ScriptedDialogs.h"
#include "texts/TextCatalog.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <chrono>
#include <map>
#include <string>

namespace tarvex::lab {

using namespace std::chrono_literals;

// Records how late a 10 ms timer's ticks come: the longest stall of the user-interface thread.
// With `counting`, only ticks that come while it holds are counted; with `phase`, each stall is
// also counted for the part of the run under way when it ended.
class StallMeter {
public:
    explicit StallMeter(std::function<bool()> counting = {},
                        std::function<const char*()> phase = {})
        : counting_(std::move(counting)), phase_(std::move(phase)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.elapsed();
            if (!counting_ || counting_()) {
                const qint64 stall = now - last_ - 10;
                longest_ = std::max(longest_, stall);
                if (phase_) {
                    qint64& longest = byPhase_[phase_()];
                    longest = std::max(longest, stall);
                }
            }
            last_ = now;
        });
        timer_.setTimerType(Qt::PreciseTimer);
        clock_.start();
        timer_.start(10);
    }
    [[nodiscard]] qint64 longestMs() const { return longest_; }
    [[nodiscard]] qint64 longestMsIn(const std::string& phase) const {
        const auto found = byPhase_.find(phase);
        return found != byPhase_.end() ? found->second : 0;
    }

private:
    std::function<bool()> counting_;
    std::function<const char*()> phase_;
    std::map<std::string, qint64> byPhase_;
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};

// The real reply port, with the times of its last opening and of its first closing after that,
// on the given clock.
class TimedListener final : public ::tarvex::ReplyListener {
public:
    TimedListener(const QElapsedTimer& clock, ReadBatch batch)
        : clock_(clock), port_(kReplyPort, batch) {}
    std::optional<ListenerFailure> OpenListener(Receiver receiver) override {
        openedAt = clock_.elapsed();
        return port_.OpenListener(
            [this, receiver = std::move(receiver)](const ArrivedDatagram& datagram) {
                if (configureReplyAt < 0 && KindOfReply(datagram.bytes) == ReplyKind::Configure) {
                    configureReplyAt = clock_.elapsed();
                }
                receiver(datagram);
            });
    }
    void CloseListener() override {
        if (closedAt < openedAt) {
            closedAt = clock_.elapsed();
            ++closings;
        }
        port_.CloseListener();
    }
    // The port is open now, as the run's last opening left it.
    [[nodiscard]] bool open() const { return openedAt >= 0 && closedAt < openedAt; }
    qint64 openedAt = -1;
    qint64 closedAt = -1;
    int closings = 0;             // of an open port
    qint64 configureReplyAt = -1; // the first configuration reply received

private:
    const QElapsedTimer& clock_;
    UdpReplyListener port_;
};

// One wizard with the real network services and a desktop folder of its own.
class LabWizard {
public:
    // pingProgram: the system's ping the probe falls back on; empty: a PC without one.
    explicit LabWizard(ReadBatch batch = {}, const QString& pingProgram = SystemPingProgram())
        : listener(stepsOpened, batch), icmp(kEchoTimeout, ProbeWays::Any, &::sendto, pingProgram),
          shortcuts([desktop = desktop.path(), bookmarks = config.filePath("gtk-3.0/bookmarks")] {
              return std::make_unique<DesktopShortcutWriter>(desktop, ProgramRunner(),
                                                             PlacesFiles{bookmarks, {}});
          }) {
        random.draws = {0.9F};
        services.intervals.discoveryWindow = 1500ms;
        services.newTableWatch = [] {
            return std::make_unique<NetlinkNeighbourWatch>();
        };
    }
    ~LabWizard() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // Opens Step 3 and clicks Next, as the user would.
    void start() {
        flow.start();
        flow.ShowPage(PageId::SetupModePage);
        stepsOpened.start();
        (void)clickButton(flow.currentPage(), "nextButton");
    }
    [[nodiscard]] static bool clickButton(QWidget* window, const char* name) {
        auto* button = window == nullptr ? nullptr : window->findChild<QPushButton*>(name);
        if (button == nullptr || !button->isEnabled()) {
            return false;
        }
        button->click();
        return true;
    }
    // Spins the event loop until the condition holds, at most `limit`.
    template <typename Condition>
    bool waitFor(Condition condition, std::chrono::milliseconds limit = 10s) {
        return QTest::qWaitFor(condition, static_cast<int>(limit.count()));
    }
    [[nodiscard]] PageId currentPage() const {
        return flow.currentPage() != nullptr ? flow.currentPage()->pageId() : PageId::WelcomePage;
    }
    [[nodiscard]] QStringList desktopFiles() const {
        return QDir(desktop.path()).entryList(QDir::Files, QDir::Name);
    }
    [[nodiscard]] QByteArray desktopFile(const QString& name) const {
        QFile file(desktop.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    [[nodiscard]] QByteArray bookmarks() const {
        QFile file(config.filePath("gtk-3.0/bookmarks"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Answers the device list once it is up, after reading it for `readFor`: picks the row whose
    // address is `address`, or closes the list when it is empty; keeps the rows.
    void chooseOnList(const QString& address, std::chrono::milliseconds readFor = 0ms) {
        answerModal("DeviceListPage", [this, address, readFor](QWidget* list) {
            auto* view = list->findChild<QTreeWidget*>("ListView1");
            rows.clear();
            for (int i = 0; view != nullptr && i < view->topLevelItemCount(); ++i) {
                QStringList cells;
                for (int column = 0; column < view->columnCount(); ++column) {
                    cells << view->topLevelItem(i)->text(column);
                }
                rows.append(cells);
                if (cells.value(3) == address) {
                    view->setCurrentItem(view->topLevelItem(i));
                }
            }
            auto* line = list->findChild<QLabel*>("lblUnlisted");
            listLine = line != nullptr && line->isVisible() ? line->text() : QString();
            listShownAfter = stepsOpened.elapsed();
            listAnswered = true;
            if (view == nullptr || view->currentItem() == nullptr ||
                view->currentItem()->text(3) != address) {
                list->close(); // no such row: leave without a choice
                return;
            }
            QTimer::singleShot(readFor, list, [this, list] {
                chosenAfter = stepsOpened.elapsed();
                (void)clickButton(list, "nextButton");
            });
        });
    }
    // Answers the credentials page once it is up, after reading it for `readFor`.
    void answerCredentials(const char* button, std::chrono::milliseconds readFor = 0ms) {
        answerModal("CredentialsPage", [this, button, readFor](QWidget* page) {
            credentialsAnswered = true;
            credentialsShownAfter = stepsOpened.elapsed();
            QTimer::singleShot(readFor, page, [this, page, button] {
                credentialsAnsweredAfter = stepsOpened.elapsed();
                (void)clickButton(page, button);
            });
        });
    }
    // The part of a configured run under way, as seen from outside the run: the discovery
    // window, the list (its probes and the page), the address search, the credentials page, the
    // configuration's exchange, then the shortcuts to the program's end.
    [[nodiscard]] const char* phase() const {
        if (listener.closings == 0) {
            return "scan";
        }
        if (!listAnswered) {
            return "list";
        }
        if (!credentialsAnswered) {
            const QWidget* modal = QApplication::activeModalWidget();
            return modal != nullptr && modal->objectName() == QLatin1String("CredentialsPage")
                       ? "credentials"
                       : "search";
        }
        return listener.closings < 2 ? "configuration" : "shortcuts";
    }

    testing::ScriptedDialogs dialogs;
    testing::RecordingProgramEnd end;
    PageSettings settings;
    QTemporaryDir desktop;
    QTemporaryDir config;
    QElapsedTimer stepsOpened;
    TimedListener listener;
    BroadcastSender broadcaster;
    IcmpProber icmp;
    ThreadedProbeRunner prober{icmp};
    ThreadedShortcutRunner shortcuts;
    testing::FakeLauncher launcher;
    NetlinkNeighbourWatch neighbours;
    testing::FakeRandom random;
    RunServices services{listener, broadcaster, prober, shortcuts, launcher, neighbours, random};
    PageWindow window;
    PageFlow flow{window, settings, dialogs, end, kEnglishTextBase, Step4Factory(services)};
    QList<QStringList> rows;
    QString listLine; // under the list: what a full list left out
    qint64 listShownAfter = -1;
    bool listAnswered = false;
    bool credentialsAnswered = false;
    qint64 chosenAfter = -1;
    qint64 credentialsShownAfter = -1; // polled every 20 ms
    qint64 credentialsAnsweredAfter = -1;

private:
    // Polls for the modal window of that name and answers it once.
    template <typename Answer> void answerModal(const char* name, Answer answer) {
        auto* poll = new QTimer(&pollers_);
        QObject::connect(poll, &QTimer::timeout, [poll, name, answer] {
            QWidget* modal = QApplication::activeModalWidget();
            const auto* list = qobject_cast<const DeviceListPage*>(modal);
            if (modal != nullptr && modal->objectName() == QLatin1String(name) &&
                modal->isVisible() && (list == nullptr || list->filled())) {
                poll->stop();
                answer(modal);
            }
        });
        poll->start(20);
    }
    QObject pollers_;
};

// Eleven appliance addresses of the PC's subnet: 10.77.1.30 answers, the ten others are silent.
inline QStringList ElevenAppliancesTenSilent() {
    QStringList addresses{"10.77.1.30"};
    for (int i = 0; i < 10; ++i) {
        addresses << QStringLiteral("10.77.1.%1").arg(200 + i);
    }
    return addresses;
}

// Twenty candidates of the lab's crowded stretch: 19 in use, answering echoes (.101 to .110),
// dropping them (.111 to .117), dropping them and answering the resolution late (.120 after
// 0.7 s, .121 after 2 s, LateHostsArguments), and the free 10.77.1.150 last.
inline QStringList CrowdedCandidates() {
    QStringList candidates;
    for (int i = 0; i < 10; ++i) {
        candidates << QStringLiteral("10.77.1.%1").arg(101 + i);
        if (i < 7) {
            candidates << QStringLiteral("10.77.1.%1").arg(111 + i);
        }
    }
    return candidates << "10.77.1.120"
                      << "10.77.1.121"
                      << "10.77.1.150";
}

// tools/arp_responder in the lab's "late" namespace: .120 answers the resolution after 0.7 s,
// .121 after 2 s; neither answers an echo.
inline QStringList LateHostsArguments() {
    return {"--interface", "eth0", "--delay", "10.77.1.120=700", "--delay", "10.77.1.121=2000"};
}

// Empties the lab PC's neighbour table, so that a search meets every host as the first one did
// rather than already known from the last.
inline bool ForgetNeighbours() {
    return RunIp({"neigh", "flush", "dev", "eth0"}) == 0;
}

struct TimedResult {
    SearchResult result;
    qint64 ms = 0;
};

// One search of the lab PC's subnet, run on the event loop to its end.
inline TimedResult SearchToTheEnd(FreeAddressSearch& search, const QStringList& candidates) {
    std::optional<SearchResult> result;
    QElapsedTimer clock;
    clock.start();
    search.start(testing::Addresses(candidates), testing::Address("10.77.1.10"),
                 [&result](const SearchResult& found) { result = found; });
    (void)QTest::qWaitFor([&result] { return result.has_value(); }, 15000);
    return {result.value_or(SearchResult{}), clock.elapsed()};
}

// The search the way a page that waits for each candidate does it: one after another, by the
// same rule for "free".
inline std::optional<QString> FirstFreeOneAtATime(const QStringList& candidates,
                                                  FreeAddressSearch& search) {
    for (const QString& candidate : candidates) {
        const SearchResult result = SearchToTheEnd(search, {candidate}).result;
        if (result.kind == SearchResult::Kind::Free) {
            return result.address.text();
        }
    }
    return std::nullopt;
}

} // namespace tarvex::lab
