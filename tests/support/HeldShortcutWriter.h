#pragma once

#include "desktop/ShortcutWriter.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace tarvex::testing {

// A disk that holds every write back until the test opens it, shared between the test's thread
// and the writing one.
class WriteGate {
public:
    // On the writing thread: tells that a write has come, then waits until the gate is open.
    void pass() {
        std::unique_lock lock(mutex_);
        ++arrived_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_; });
    }
    // Whether a write has come within `limit`.
    bool waitForWrite(std::chrono::milliseconds limit = std::chrono::seconds(5)) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [this] { return arrived_ > 0; });
    }
    void open() {
        const std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int arrived_ = 0;
    bool open_ = false;
};

// The slow disk: each write waits at the gate, then goes to `inner`.
class HeldShortcutWriter final : public ShortcutWriter {
public:
    HeldShortcutWriter(std::shared_ptr<WriteGate> gate, std::unique_ptr<ShortcutWriter> inner)
        : gate_(std::move(gate)), inner_(std::move(inner)) {}
    std::optional<ShortcutFailure> CreateShortcuts(Ipv4Address address,
                                                   const QString& hostName) override {
        gate_->pass();
        return inner_->CreateShortcuts(address, hostName);
    }

private:
    std::shared_ptr<WriteGate> gate_;
    std::unique_ptr<ShortcutWriter> inner_;
};

} // namespace tarvex::testing
