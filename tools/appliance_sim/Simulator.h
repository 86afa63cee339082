#pragma once

#include "SimOptions.h"

#include <chrono>
#include <netinet/in.h>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tarvex::sim {

// The appliances' side of the device protocol on one UDP socket, for a bounded lifetime.
class Simulator {
public:
    Simulator(SimOptions options, std::ostream& log);
    // Runs until the lifetime is over or a signal asks it to stop; 0, or 1 when the socket
    // could not be set up.
    int run();

private:
    using Clock = std::chrono::steady_clock;

    struct Outgoing {
        Clock::time_point due;
        std::string bytes;
        std::optional<std::size_t> moveAppliance; // moves the address after sending
        std::string moveAddress;
        std::string moveMask;
        int interfaceIndex = 0; // where the request came in; 0: let the routes decide
        std::string from;       // the source address; empty: the system's choice
    };

    void onDatagram(const std::string& bytes, const std::string& from, int interfaceIndex);
    void onDiscovery(int interfaceIndex);
    void onConfigure(const std::string& request, int interfaceIndex);
    void sendDue();
    // Sends the flood's replies due by now; the time of the next ones.
    Clock::time_point floodDue(Clock::time_point now);
    void send(const std::string& bytes, int interfaceIndex, const std::string& from);
    // The address an appliance's answers come from; empty: the system's choice.
    [[nodiscard]] std::string sourceOf(const ApplianceProfile& appliance) const;
    void moveAddress(std::size_t appliance, const std::string& address, const std::string& mask);
    // Takes over the appliance `id` at `address` for `taker`: the address added to the
    // interface beside its own, and a "2" in that appliance's name.
    void takeOver(const ApplianceProfile& taker, const std::string& id, const std::string& request,
                  int interfaceIndex);
    void releaseTakenAddresses();
    void logBytes(const char* what, const std::string& peer, const std::string& bytes);
    void logLine(const std::string& text);

    SimOptions options_;
    std::ostream& log_;
    int fd_ = -1;
    bool anySource_ = false; // answers may come from an address the namespace does not hold
    Clock::time_point start_;
    std::vector<Outgoing> outbox_;
    std::vector<ApplianceProfile> taken_; // appliances taken over, answering discovery
    std::vector<std::string> aliases_;    // the interface labels of the addresses taken
    sockaddr_in asker_{};                 // the sender of the datagram being handled
    // A rate flood under way: to whom, from when to when, how many sent so far.
    sockaddr_in floodTo_{};
    Clock::time_point floodStart_{};
    Clock::time_point floodEnd_{};
    long long floodSent_ = 0;
    std::vector<std::string> floodReplies_;
    bool sendersAnswered_ = false; // the made-up senders answer the first discovery only
};

} // namespace tarvex::sim
