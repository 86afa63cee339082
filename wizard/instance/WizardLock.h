#pragma once

#include "instance/InstancePlace.h"

#include <optional>

namespace tarvex {

// The lock on the place's lock file that the open wizard holds for as long as it runs. The
// kernel drops it when the process ends, however it ends, so a lock is never stale.
class WizardLock {
public:
    // Tries to take the lock. Without a place, or when the file cannot be opened, nothing is
    // held and the wizard runs on its own.
    explicit WizardLock(std::optional<InstancePlace> place);
    ~WizardLock();
    WizardLock(const WizardLock&) = delete;
    WizardLock& operator=(const WizardLock&) = delete;

    // This process is the user's wizard.
    [[nodiscard]] bool held() const { return fd_ >= 0; }
    // Another process holds the lock: the user's wizard is open.
    [[nodiscard]] bool heldElsewhere() const { return heldElsewhere_; }
    [[nodiscard]] const std::optional<InstancePlace>& place() const { return place_; }

    // Whether a wizard of the user is open, asked without taking the lock.
    [[nodiscard]] static bool WizardIsOpen(const std::optional<InstancePlace>& place);

private:
    std::optional<InstancePlace> place_;
    int fd_ = -1;
    bool heldElsewhere_ = false;
};

} // namespace tarvex
