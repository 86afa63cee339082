#pragma once

#include "run/RunDialogs.h"
#include "run/RunFlow.h"
#include "run/RunPage.h"
#include "run/RunTimers.h"
#include "support/ScriptedDialogs.h"

#include <QList>
#include <QStringList>
#include <chrono>
#include <functional>
#include <map>
#include <optional>

namespace tarvex::testing {

// Test doubles of what the setup run drives on screen: Step 4, its flow, its two modal pages
// and its timers. Each records what the run asked and answers from the event loop.

// Step 4 as the run drew it, one line per change.
class RecordingPage final : public RunPage {
public:
    void applyLookSettings() override {}
    void setCaptions() override {}
    void setStatusText(const QString& text) override { log.append(text); }
    void setStepPicture(int step, StatusPicture picture) override {
        static const char* names[] = {"none", "busy", "done", "failed"};
        log.append(QStringLiteral("pic%1 %2").arg(step).arg(names[static_cast<int>(picture)]));
    }
    void setButtonsEnabled(bool enabled) override {
        buttonsEnabled = enabled;
        log.append(enabled ? "buttons on" : "buttons off");
    }
    void afterEventsRun(std::function<void()> next) override { later(std::move(next)); }
    QStringList log;
    bool buttonsEnabled = true;
};

class RecordingFlow final : public RunFlow {
public:
    void showSetupModePage() override { ++setupModeShown; }
    void confirmExit(std::function<void(bool programEnded)> done) override {
        if (exitConfirmed) {
            ended = true;
        }
        later([done = std::move(done), answer = exitConfirmed] { done(answer); });
    }
    void endProgram() override { ended = true; }
    bool programEnded() const override { return ended; }
    int setupModeShown = 0;
    bool ended = false;
    bool exitConfirmed = true;
};

// Shows each list as its "Reachable?" cells and adapter names and answers `chosen` (the test
// may set it in onList); answers the credentials page with `credentials`.
class ScriptedModals final : public RunDialogs {
public:
    void showDeviceList(const QList<ApplianceRow>& rows, bool nameAdapters, qsizetype unlisted,
                        std::function<void(std::optional<qsizetype> chosen)> done) override {
        unlistedShown.append(unlisted);
        QStringList cells;
        QStringList adapters;
        for (const ApplianceRow& row : rows) {
            cells.append(ReachabilityCell(row.reachable() ? Reachability::Yes : Reachability::No));
            if (nameAdapters) {
                adapters.append(QString::fromUtf8(row.adapter));
            }
        }
        listsShown.append(cells);
        adaptersShown.append(adapters);
        if (onList) {
            onList();
        }
        later([done = std::move(done), answer = chosen] { done(answer); });
    }
    void
    showCredentials(std::function<void(std::optional<Credentials> credentials)> done) override {
        ++credentialsShown;
        if (onCredentials) {
            onCredentials();
        }
        later([done = std::move(done), answer = credentials] { done(answer); });
    }
    QList<QStringList> listsShown;
    QList<qsizetype> unlistedShown;
    QList<QStringList> adaptersShown;
    std::function<void()> onList;
    std::optional<qsizetype> chosen; // none: the list closed without a choice
    int credentialsShown = 0;
    std::optional<Credentials> credentials = Credentials{"admin", "secret"}; // none: abandoned
    std::function<void()> onCredentials;
};

class ManualTimers final : public RunTimers {
public:
    void setTick(Tick tick) override { tick_ = std::move(tick); }
    void start(RunTimer timer, std::chrono::milliseconds interval) override {
        running[timer] = interval;
    }
    void stop(RunTimer timer) override { running.erase(timer); }
    // Fires the timer as its interval would, when it runs, and lets what it started run.
    bool fire(RunTimer timer) {
        if (running.count(timer) == 0) {
            return false;
        }
        tick_(timer);
        settle();
        return true;
    }
    std::map<RunTimer, std::chrono::milliseconds> running;

private:
    Tick tick_;
};

} // namespace tarvex::testing
