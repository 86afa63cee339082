#pragma once

#include "modules/ShortcutWriter.h"

#include <QStringList>
#include <functional>

namespace tarvex {

// Starts a program without waiting for it; false when it could not be started.
using DetachedStarter = std::function<bool(const QString& program, const QStringList& arguments)>;

// Hands the appliance's shared folders, then its web pages, to the desktop's handler for
// addresses (xdg-open). Neither is waited for; a handler that cannot be started is not reported,
// and the second address is tried even when the first could not be handed over.
class XdgAddressLauncher final : public AddressLauncher {
public:
    explicit XdgAddressLauncher(DetachedStarter starter = {});

    void OpenDevice(Ipv4Address address) override;

private:
    DetachedStarter starter_;
};

} // namespace tarvex
