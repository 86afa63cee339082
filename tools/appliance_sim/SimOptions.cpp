#include "SimOptions.h"

#include <charconv>
#include <cstdio>

namespace tarvex::sim {

namespace {

constexpr long kLongestLifetime = 3600;

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// "%XX" stands for the byte XX, so that a value can hold commas, quotes or any byte.
std::optional<std::string> percentDecode(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size() || hexValue(text[i + 1]) < 0 || hexValue(text[i + 2]) < 0) {
            return std::nullopt;
        }
        out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
        i += 2;
    }
    return out;
}

template <typename Number>
bool readNumber(const std::string& text, Number& value, long low, long high) {
    long parsed = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (failure != std::errc{} || end != text.data() + text.size() || parsed < low ||
        parsed > high) {
        return false;
    }
    value = static_cast<Number>(parsed);
    return true;
}

bool applyAppliancePart(ApplianceProfile& profile, const std::string& key,
                        const std::string& value) {
    struct Field {
        const char* key;
        std::string ApplianceProfile::*member;
    };
    static constexpr Field kFields[] = {
        {"id", &ApplianceProfile::id},
        {"ip", &ApplianceProfile::ip},
        {"mask", &ApplianceProfile::mask},
        {"gateway", &ApplianceProfile::gateway},
        {"host", &ApplianceProfile::host},
        {"workgroup", &ApplianceProfile::workgroup},
        {"full", &ApplianceProfile::full},
        {"model", &ApplianceProfile::model},
        {"capacity", &ApplianceProfile::capacity},
        {"total", &ApplianceProfile::total},
        {"avail", &ApplianceProfile::available},
        {"user", &ApplianceProfile::user},
        {"password", &ApplianceProfile::password},
    };
    for (const Field& field : kFields) {
        if (key == field.key) {
            profile.*field.member = value;
            return true;
        }
    }
    if (key == "from") {
        profile.from = value;
    } else if (key == "reply") {
        profile.rawReply = value;
    } else if (key == "leave-out") {
        profile.leftOutKeys.push_back(value);
    } else if (key == "move") {
        profile.move = value == "1" || value == "yes";
    } else if (key == "discovery") {
        if (value != "yes" && value != "no") {
            return false;
        }
        profile.discoveryWhenConfigured = value == "yes";
    } else if (key == "delay") {
        long ms = 0;
        if (!readNumber(value, ms, 0, 60000)) {
            return false;
        }
        profile.delay = std::chrono::milliseconds(ms);
    } else if (key == "config") {
        if (value == "check") {
            profile.config = ConfigBehaviour::Check;
        } else if (value == "refuse") {
            profile.config = ConfigBehaviour::Refuse;
        } else if (value == "silent") {
            profile.config = ConfigBehaviour::Silent;
        } else if (value == "echo") {
            profile.config = ConfigBehaviour::Echo;
        } else if (value == "takeover") {
            profile.config = ConfigBehaviour::Takeover;
        } else if (value.size() == 8 && value.starts_with("status:")) {
            profile.config = ConfigBehaviour::Status;
            profile.status = value[7];
        } else {
            return false;
        }
    } else {
        return false;
    }
    return true;
}

std::optional<ApplianceProfile> parseAppliance(const std::string& text, std::size_t number,
                                               std::string& error) {
    ApplianceProfile profile;
    // A default identifier of exactly 17 bytes, different for each appliance.
    char id[32];
    std::snprintf(id, sizeof id, "00:50:43:00:%02zX:%02zX", (number >> 8) & 0xff, number & 0xff);
    profile.id = id;
    std::size_t start = 0;
    while (start <= text.size() && !text.empty()) {
        const std::size_t comma = text.find(',', start);
        const std::string part =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const std::size_t equals = part.find('=');
        const std::optional<std::string> value =
            equals == std::string::npos ? std::nullopt : percentDecode(part.substr(equals + 1));
        if (!value || !applyAppliancePart(profile, part.substr(0, equals), *value)) {
            error = "bad appliance item: " + part;
            return std::nullopt;
        }
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return profile;
}

} // namespace

std::optional<SimOptions> ParseOptions(int argc, char** argv, std::string& error) {
    SimOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            options.help = true;
            return options;
        }
        if (i + 1 >= argc) {
            error = "missing value after " + option;
            return std::nullopt;
        }
        const std::string value = argv[++i];
        bool ok = true;
        long number = 0;
        if (option == "--appliance") {
            auto profile = parseAppliance(value, options.appliances.size() + 1, error);
            if (!profile) {
                return std::nullopt;
            }
            options.appliances.push_back(std::move(*profile));
        } else if (option == "--interface") {
            options.interfaceName = value;
        } else if (option == "--duplicates") {
            ok = readNumber(value, options.duplicates, 1, 100);
        } else if (option == "--flood") {
            ok = readNumber(value, options.flood, 0, 10000);
        } else if (option == "--flood-rate") {
            ok = readNumber(value, options.floodRate, 1, 1000000);
        } else if (option == "--flood-for") {
            ok = readNumber(value, number, 1, 60000);
            options.floodFor = std::chrono::milliseconds(number);
        } else if (option == "--senders") {
            ok = readNumber(value, options.senders, 0, 60000);
        } else if (option == "--sender-pace") {
            ok = readNumber(value, number, 0, 1000000);
            options.senderPace = std::chrono::microseconds(number);
        } else if (option == "--host-bytes") {
            ok = readNumber(value, options.hostBytes, 1, 65000);
        } else if (option == "--delay") {
            ok = readNumber(value, number, 0, 60000);
            options.delay = std::chrono::milliseconds(number);
        } else if (option == "--listen-port") {
            ok = readNumber(value, options.listenPort, 1, 65535);
        } else if (option == "--reply-port") {
            ok = readNumber(value, options.replyPort, 1, 65535);
        } else if (option == "--reply-address") {
            options.replyAddress = value;
        } else if (option == "--log") {
            options.logFile = value;
        } else if (option == "--ready-file") {
            options.readyFile = value;
        } else if (option == "--lifetime") {
            ok = readNumber(value, number, 1, kLongestLifetime);
            options.lifetime = std::chrono::seconds(number);
        } else {
            error = "unknown option " + option + " (see --help)";
            return std::nullopt;
        }
        if (!ok) {
            error = "bad value for " + option + ": " + value;
            return std::nullopt;
        }
    }
    if (options.floodRate > 0 && options.floodFor.count() == 0) {
        options.floodFor = std::chrono::milliseconds(3000);
    }
    if (options.appliances.empty()) {
        auto profile = parseAppliance("", 1, error);
        options.appliances.push_back(std::move(*profile));
    }
    return options;
}

const char* HelpText() {
    return R"(appliance_sim: plays one or more appliances of the device protocol, for tests.

Listens on UDP port 12311 of every local address. A discovery request "0C01S" is answered by
one discovery reply "0C01R" per appliance, sent as a limited broadcast to port 12310 so that it
reaches a PC on any subnet of the link. A configuration request "0C02S" is acted on only by the
appliance whose identifier it carries: it checks user name and password and answers "0C02R",
its identifier and the status "2" (applied) or "1" (refused). Every datagram received is logged
as bytes (hex and printable). The program stops by itself at the end of its lifetime.

Run it inside a network namespace of the lab (tools/lab.sh), never on a real network.

Options:
  --appliance PROFILE add an appliance (repeatable; one default appliance when none is given).
                      PROFILE is a comma-separated list of key=value; "%XX" in a value stands for
                      the byte XX (%2C a comma, %25 a percent sign, %27 a quote). Keys:
                        id        identifier, 17 bytes (default 00:50:43:00:00:NN)
                        ip, mask, gateway, host, workgroup, full
                                  the reply's address, mask, gateway, host name, workgroup
                                  and full host name
                        from      the address its answers come from (default: its ip, as
                                  each real appliance answers from its own address; empty:
                                  the interface's), e.g. to claim another host's address
                        model, capacity, total, avail
                                  the disk items; an empty model means no disk
                        user, password
                                  the credentials a configuration must carry (admin, admin)
                        config    check (default) | refuse (always "1") | silent (no answer)
                                  | status:X (answers with the status byte X)
                                  | echo (answers every configuration, whatever identifier it
                                  carries, with that identifier and "2": a host posing as the
                                  appliance)
                                  | takeover (adds the address of every configuration, whatever
                                  identifier it carries, to the --interface, answers "2" from it
                                  in that identifier's name and then answers discovery as that
                                  appliance at that address; the addresses are removed at exit)
                        discovery=no
                                  once configured (it answered "2"), answer no discovery request
                        move=1    on an applied configuration, move the address of the
                                  --interface to the requested address and mask
                        delay=MS  wait before each answer of this appliance
                        leave-out=KEY
                                  leave an item out of the reply, e.g. leave-out=NETMASK
                                  (repeatable), for malformed replies
                        reply=BYTES
                                  send these bytes as the discovery reply, as they stand
  --interface NAME    send answers out of this interface (also without a route) and move its
                      address when an appliance with move=1 is configured
  --duplicates N      send every discovery reply N times (default 1)
  --flood N           answer each discovery also with N replies of made-up appliances
  --flood-rate R      answer each discovery also with R made-up replies a second, sent to
                      the asker's address alone, for the time of --flood-for (default 3000 ms)
  --flood-for MS      how long a --flood-rate flood lasts
  --senders N         answer the first discovery also with N made-up appliances, each from an
                      address of its own (10.78.0.1 on, where nothing answers) that it reports,
                      ahead of the appliances' own replies: a flood of forged senders
  --sender-pace US    send the made-up replies this many microseconds apart (default 0)
  --host-bytes B      give the made-up appliances host names of B bytes (at most 65000)
  --delay MS          wait before answering any request (default 0)
  --listen-port P     port of the requests (default 12311)
  --reply-port P      port the answers go to (default 12310)
  --reply-address A   address the answers go to (default 255.255.255.255)
  --log FILE          append the log to FILE instead of standard output
  --ready-file FILE   create FILE once listening
  --lifetime S        stop after S seconds (default 30, at most 3600)
  --help              this text
)";
}

} // namespace tarvex::sim
