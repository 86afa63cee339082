#pragma once

#include "appliance/ApplianceRow.h"

#include <QList>
#include <functional>

namespace tarvex {

// The two modal pages the setup run shows over Step 4. Each returns at once and calls `done`
// from the event loop once its page has closed; never if the page went with Step 4.
class RunDialogs {
public:
    virtual ~RunDialogs() = default;

    // The device list: one row a record of the device table, each with its reachability in
    // the "Reachable?" column and, when `nameAdapters`, the adapter it was heard on in a last
    // "Adapter" column. Next sets SelectedDevice and SelectedReachable; the close box leaves
    // SelectedDevice as it was (-1); Exit asks and may end the program.
    virtual void showDeviceList(const QList<ApplianceRow>& rows, bool nameAdapters,
                                std::function<void()> done) = 0;

    enum class CredentialsOutcome {
        Closed,    // Next: UserName and Password hold what was typed, or both are empty
        Abandoned, // the user confirmed leaving the setup: nothing may be sent
    };
    // The credentials page: empties UserName and Password, presets both boxes.
    virtual void showCredentials(std::function<void(CredentialsOutcome outcome)> done) = 0;
};

} // namespace tarvex
