#pragma once

#include "base/MessageDetails.h"
#include "desktop/ShortcutRunner.h"
#include "desktop/ShortcutWriter.h"
#include "net/AdapterReader.h"
#include "net/NeighbourWatch.h"
#include "net/ReplyListener.h"
#include "net/RequestBroadcaster.h"
#include "probe/ProbeRunner.h"
#include "run/RandomSource.h"
#include "run/RunTimers.h"

#include <QString>
#include <chrono>
#include <functional>
#include <memory>

namespace tarvex {

// What the setup run uses of the world beyond its pages. The program hands in the real
// services; tests hand in their own.
struct RunServices {
    ReplyListener& listener;
    RequestBroadcaster& broadcaster;
    ProbeRunner& prober;
    ShortcutRunner& shortcuts;
    AddressLauncher& launcher;
    NeighbourWatch& neighbours;
    RandomSource& random;
    RunIntervals intervals{};
    // Reads the PC's adapters: the chosen one and every one the discovery goes out of.
    std::function<PcAdapters()> readAdapters = &ReadPcAdapters;
    // What may keep the appliances' replies from this PC, as the details of the messages that
    // tell that none answered; empty: no details. Returns at once: the details may follow.
    std::function<MessageDetails()> diagnose = [] {
        return MessageDetails();
    };
    // The clock that tells how old a found address is; tests move it.
    std::function<std::chrono::steady_clock::time_point()> now = [] {
        return std::chrono::steady_clock::now();
    };
    // Whether the free address is searched while the list is read, or only once an appliance
    // that needs one is chosen (the bench compares the two).
    bool searchWhileListIsRead = true;
    // A neighbour table watch of its own for each free address found, which is asked until it
    // is given away.
    std::function<std::unique_ptr<NeighbourWatch>()> newTableWatch{};
    // Whether a "2" is believed only once the appliance answers from its new address, or at once
    // (the bench compares the two).
    bool confirmNewAddress = true;
};

} // namespace tarvex
