#pragma once

#include "modules/DesktopShortcutWriter.h"
#include "modules/IcmpProber.h"
#include "modules/ProcNeighbourTable.h"
#include "modules/XdgAddressLauncher.h"
#include "run/BroadcastSender.h"
#include "run/ClockSeededRandom.h"
#include "run/RunServices.h"
#include "run/ThreadedProbeRunner.h"
#include "run/UdpReplyListener.h"

namespace tarvex {

// The real services of the setup run, as the program uses them: the reply port, the
// broadcasts, ICMP probes off the user-interface thread, the kernel's neighbour table, the
// desktop's shortcuts and its opener for addresses.
class SystemRunServices final {
public:
    SystemRunServices() = default;
    SystemRunServices(const SystemRunServices&) = delete;
    SystemRunServices& operator=(const SystemRunServices&) = delete;

    [[nodiscard]] RunServices& services() { return services_; }

private:
    UdpReplyListener listener_;
    BroadcastSender broadcaster_;
    IcmpProber icmp_;
    ThreadedProbeRunner prober_{icmp_};
    DesktopShortcutWriter shortcuts_;
    XdgAddressLauncher launcher_;
    ProcNeighbourTable neighbours_;
    ClockSeededRandom random_;
    RunServices services_{listener_, broadcaster_, prober_, shortcuts_,
                          launcher_, neighbours_,  random_};
};

} // namespace tarvex
