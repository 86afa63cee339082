#pragma once

// The whole wizard with the real network services, for the lab tests and the benchmark: the
// real pages, reply port, broadcasts, probes and shortcut files, in a desktop folder of its
// own. Message boxes are answered in advance and the opener of addresses is recorded.
#include "modules/DesktopShortcutWriter.h"
#include "modules/IcmpProber.h"
#include "modules/ProcNeighbourTable.h"
#include "pages/PageFlow.h"
#include "pages/StepPage.h"
#include "resources/TextCatalog.h"
#include "run/BroadcastSender.h"
#include "run/CandidateAddresses.h"
#include "run/SetupRun.h"
#include "run/ThreadedProbeRunner.h"
#include "run/UdpReplyListener.h"
#include "run/frmMain2.h"
#include "support/FakeRunServices.h"
#include "support/RecordingProgramEnd.h"
#include "support/ScriptedDialogs.h"

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

namespace tarvex::lab {

using namespace std::chrono_literals;

// Records how late a 10 ms timer's ticks come: the longest stall of the user-interface thread.
class StallMeter {
public:
    StallMeter() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.elapsed();
            longest_ = std::max(longest_, now - last_ - 10);
            last_ = now;
        });
        timer_.setTimerType(Qt::PreciseTimer);
        clock_.start();
        timer_.start(10);
    }
    [[nodiscard]] qint64 longestMs() const { return longest_; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};

// One wizard with the real network services and a desktop folder of its own.
class LabWizard {
public:
    LabWizard() : shortcuts(desktop.path()) {
        random.draws = {0.9F};
        services.intervals.discoveryWindow = 1500ms;
    }
    ~LabWizard() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // Opens Step 3 and clicks Next, as the user would.
    void start() {
        flow.start();
        flow.ShowPage(PageId::frmMain0);
        stepsOpened.start();
        (void)clickButton(flow.currentPage(), "cmdNext");
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
        return flow.currentPage() != nullptr ? flow.currentPage()->pageId() : PageId::frmPre1;
    }
    [[nodiscard]] QStringList desktopFiles() const {
        return QDir(desktop.path()).entryList(QDir::Files, QDir::Name);
    }
    [[nodiscard]] QByteArray desktopFile(const QString& name) const {
        QFile file(desktop.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Answers the device list once it is up: picks the row whose address is `address`, or
    // closes the list when it is empty; keeps the rows.
    void chooseOnList(const QString& address) {
        answerModal("frmSelect", [this, address](QWidget* list) {
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
            listShownAfter = stepsOpened.elapsed();
            if (view == nullptr || view->currentItem() == nullptr ||
                view->currentItem()->text(3) != address) {
                list->close(); // no such row: leave without a choice
                return;
            }
            (void)clickButton(list, "cmdNext");
        });
    }
    void answerCredentials(const char* button) {
        answerModal("frmConfigSimple",
                    [button](QWidget* page) { (void)clickButton(page, button); });
    }

    testing::ScriptedDialogs dialogs;
    testing::RecordingProgramEnd end;
    WizardGlobals globals;
    QTemporaryDir desktop;
    UdpReplyListener listener;
    BroadcastSender broadcaster;
    IcmpProber icmp;
    ThreadedProbeRunner prober{icmp};
    DesktopShortcutWriter shortcuts;
    testing::FakeLauncher launcher;
    ProcNeighbourTable neighbours;
    testing::FakeRandom random;
    RunServices services{listener, broadcaster, prober, shortcuts, launcher, neighbours, random};
    PageFlow flow{globals, dialogs, end, kEnglishTextBase, services};
    QElapsedTimer stepsOpened;
    QList<QStringList> rows;
    qint64 listShownAfter = -1;

private:
    // Polls for the modal window of that name and answers it once.
    template <typename Answer> void answerModal(const char* name, Answer answer) {
        auto* poll = new QTimer(&pollers_);
        QObject::connect(poll, &QTimer::timeout, [poll, name, answer] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal != nullptr && modal->objectName() == QLatin1String(name) &&
                modal->isVisible()) {
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

// Twenty candidates of the lab's crowded stretch: 19 in use, alternately answering echoes
// (.101 to .110) and dropping them (.111 to .119), and the free 10.77.1.150 last.
inline QStringList CrowdedCandidates() {
    QStringList candidates;
    for (int i = 0; i < 10; ++i) {
        candidates << QStringLiteral("10.77.1.%1").arg(101 + i);
        if (i < 9) {
            candidates << QStringLiteral("10.77.1.%1").arg(111 + i);
        }
    }
    return candidates << "10.77.1.150";
}

// The search the way a page that waits for each echo does it: one candidate after another,
// by the same rule for "free".
inline std::optional<QString> FirstFreeOneAtATime(const QStringList& candidates, Prober& prober,
                                                  NeighbourTable& neighbours) {
    for (const QString& candidate : candidates) {
        if (auto free = FirstFreeCandidate({candidate}, {prober.probe(candidate)}, neighbours,
                                           "10.77.1.10")) {
            return free;
        }
    }
    return std::nullopt;
}

} // namespace tarvex::lab
