#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tarvex::sim {

// How an appliance answers a configuration request that carries its identifier.
enum class ConfigBehaviour {
    Check,  // "2" when user name and password match, else "1"
    Refuse, // always "1"
    Silent, // no answer at all
    Status, // answers with a fixed status byte
    Echo,   // a host posing as any appliance: answers every request, whoever it is for, "2"
    // A host that takes over: adds the requested address to its interface, answers "2" from it
    // in the name of the appliance asked for, and from then on answers discovery as that one.
    Takeover,
};

struct ApplianceProfile {
    std::string id;
    std::string ip = "192.168.0.50";
    // The address its answers come from: its own `ip`, as a real appliance's do, unless set
    // (another host's address, to claim one; empty: the interface's, the system's choice).
    std::optional<std::string> from;
    std::string mask = "255.255.255.0";
    std::string gateway = "192.168.0.1";
    std::string host = "DRAVIK";
    std::string workgroup = "WORKGROUP";
    std::string full = "DRAVIK-NAS";
    std::string model = "ST3160023A";
    std::string capacity = "312581808";
    std::string total = "156000000";
    std::string available = "150000000";
    std::string user = "admin";
    std::string password = "admin";
    std::optional<std::string> rawReply;  // sent instead of the built reply
    std::vector<std::string> leftOutKeys; // keys left out of the built reply
    ConfigBehaviour config = ConfigBehaviour::Check;
    char status = '2';
    bool move = false; // moves the interface's address when configured
    // Answers discovery once it has applied a configuration (false: silent from then on).
    bool discoveryWhenConfigured = true;
    bool configured = false; // it answered a configuration with "2"
    std::chrono::milliseconds delay{0};
};

struct SimOptions {
    std::vector<ApplianceProfile> appliances;
    std::string interfaceName;
    int duplicates = 1;
    int flood = 0;
    int floodRate = 0; // made-up replies a second, sent to the asker for floodFor
    // Made-up appliances each answering from an address of its own, ahead of the real ones,
    // one every senderPace; their host names are hostBytes long when set.
    int senders = 0;
    std::chrono::microseconds senderPace{0};
    int hostBytes = 0;
    std::chrono::milliseconds floodFor{0};
    std::chrono::milliseconds delay{0};
    unsigned short listenPort = 12311;
    unsigned short replyPort = 12310;
    std::string replyAddress = "255.255.255.255";
    std::string logFile;
    std::string readyFile;
    std::chrono::seconds lifetime{30};
    bool help = false;
};

// Parses the command line; an error text on failure.
[[nodiscard]] std::optional<SimOptions> ParseOptions(int argc, char** argv, std::string& error);

[[nodiscard]] const char* HelpText();

} // namespace tarvex::sim
