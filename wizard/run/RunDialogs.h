#pragma once

#include "appliance/ApplianceRow.h"
#include "appliance/Credentials.h"

#include <QList>
#include <functional>
#include <optional>

namespace tarvex {

// The two modal pages the setup run shows over Step 4. Each is given what it shows, returns at
// once and answers `done` from the event loop once its page has closed; never if the page went
// with Step 4.
class RunDialogs {
public:
    virtual ~RunDialogs() = default;

    // The device list: one row a row of `rows`, each with its reachability in the "Reachable?"
    // column and, when `nameAdapters`, the adapter it was heard on in a last "Adapter" column;
    // a line under it tells how many senders a full list left out (`unlisted`), when any.
    // Next answers the chosen row's index; the close box answers none; Exit asks and may end the
    // program.
    virtual void showDeviceList(const QList<ApplianceRow>& rows, bool nameAdapters,
                                qsizetype unlisted,
                                std::function<void(std::optional<qsizetype> chosen)> done) = 0;

    // The credentials page, both boxes preset. Next answers what was typed (both may be empty);
    // none when the user confirmed leaving the setup: then nothing may be sent.
    virtual void
    showCredentials(std::function<void(std::optional<Credentials> credentials)> done) = 0;
};

} // namespace tarvex
