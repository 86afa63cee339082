#pragma once

#include "desktop/DesktopShortcutWriter.h"
#include "desktop/ThreadedShortcutRunner.h"
#include "desktop/XdgAddressLauncher.h"
#include "diagnosis/LiveSystemView.h"
#include "diagnosis/ThreadedDiagnosis.h"
#include "net/BroadcastSender.h"
#include "net/NetlinkNeighbourWatch.h"
#include "net/UdpReplyListener.h"
#include "probe/IcmpProber.h"
#include "probe/ThreadedProbeRunner.h"
#include "run/ClockSeededRandom.h"
#include "run/RunServices.h"
#include "texts/TextCatalog.h"

namespace tarvex {

// The real services of the setup run, as the program uses them: the reply port, the
// broadcasts, ICMP probes off the user-interface thread, the kernel's neighbour table over
// rtnetlink, the desktop's shortcuts (and the shared folders in the user's file manager
// places) written off that thread too, its opener for addresses, and the diagnosis of this PC
// off the window's thread (asking the system bus through the check given; without one, no name
// is on the bus).
class SystemRunServices final {
public:
    // textBase: the edition the diagnosis speaks.
    explicit SystemRunServices(LiveSystemView::BusNameCheck busNameCheck = {},
                               int textBase = kEnglishTextBase)
        : diagnosis_(std::move(busNameCheck), textBase) {
        services_.diagnose = [this] {
            return diagnosis_.start();
        };
        services_.newTableWatch = [] {
            return std::make_unique<NetlinkNeighbourWatch>();
        };
    }
    SystemRunServices(const SystemRunServices&) = delete;
    SystemRunServices& operator=(const SystemRunServices&) = delete;

    [[nodiscard]] RunServices& services() { return services_; }

private:
    UdpReplyListener listener_;
    BroadcastSender broadcaster_;
    IcmpProber icmp_;
    ThreadedProbeRunner prober_{icmp_};
    ThreadedShortcutRunner shortcuts_{[] {
        return std::make_unique<DesktopShortcutWriter>(QString(), ProgramRunner(),
                                                       PlacesFiles::ForUser());
    }};
    XdgAddressLauncher launcher_;
    NetlinkNeighbourWatch neighbours_;
    ClockSeededRandom random_;
    ThreadedDiagnosis diagnosis_;
    RunServices services_{listener_, broadcaster_, prober_, shortcuts_,
                          launcher_, neighbours_,  random_};
};

} // namespace tarvex
