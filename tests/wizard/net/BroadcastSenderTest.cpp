// Sends only to a receiver on 127.0.0.1; the lab tests send the real broadcast.
#include "net/BroadcastSender.h"

#include "run/RunMessages.h"

#include <arpa/inet.h>
#include <cerrno>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tarvex {
namespace {

class LoopbackReceiver {
public:
    LoopbackReceiver() : fd_(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        bind(fd_, reinterpret_cast<sockaddr*>(&address), size);
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
    }
    ~LoopbackReceiver() { close(fd_); }
    LoopbackReceiver(const LoopbackReceiver&) = delete;
    LoopbackReceiver& operator=(const LoopbackReceiver&) = delete;

    [[nodiscard]] DatagramDestination destination() const {
        return {Ipv4Address(0x7F000001U), port_};
    }

    // The next datagram, or nothing within the wait; `source` gets its sender's address.
    [[nodiscard]] std::optional<QByteArray> receive(QString* source = nullptr,
                                                    int waitMs = 1000) const {
        pollfd watch{fd_, POLLIN, 0};
        if (poll(&watch, 1, waitMs) != 1) {
            return std::nullopt;
        }
        QByteArray buffer(70000, '\0');
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        const ssize_t size = recvfrom(fd_, buffer.data(), static_cast<std::size_t>(buffer.size()),
                                      0, reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (source != nullptr) {
            char text[INET_ADDRSTRLEN] = {};
            inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
            *source = QString::fromLatin1(text);
        }
        return size < 0 ? std::nullopt : std::optional(buffer.left(size));
    }

private:
    int fd_;
    quint16 port_ = 0;
};

struct SendRow {
    const char* name;
    QByteArray request;
};

void PrintTo(const SendRow& row, std::ostream* os) {
    *os << row.name;
}

class BroadcastSenderSends : public ::testing::TestWithParam<SendRow> {};

TEST_P(BroadcastSenderSends, ExactlyTheBytesAsOneDatagram) {
    LoopbackReceiver receiver;
    BroadcastSender sender(receiver.destination());
    EXPECT_EQ(sender.Broadcast(GetParam().request, {}), std::nullopt);
    EXPECT_EQ(receiver.receive(), GetParam().request);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, BroadcastSenderSends,
    ::testing::Values(SendRow{"Discovery", "0C01S"},
                      SendRow{"ChineseUserName",
                              QByteArray("0C02S00:1A:2B:3C:4D:5E10.0.0.9;255.0.0.0;;N;W;F;") +
                                  QString::fromUtf8("管理員;密碼").toUtf8()},
                      SendRow{"ZeroBytesInside", QByteArray("0C\0"
                                                            "1S",
                                                            5)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BroadcastSender, DefaultsToTheLimitedBroadcastOfTheRequestPort) {
    const DatagramDestination destination;
    EXPECT_EQ(destination.address.text(), "255.255.255.255");
    EXPECT_EQ(destination.port, 12311);
}

Message failureMessage(const char* text) {
    Message message;
    message.text = QString::fromUtf8(text);
    return message; // no title of its own, OK only, no icon
}

// The failure comes back to the caller; the message is the one the run shows for it.
QString shownFor(const std::optional<BroadcastFailure>& failure) {
    return failure ? BroadcastFailureMessage(*failure).text : QStringLiteral("(sent)");
}

TEST(BroadcastSender, DatagramThatCannotBeSentIsReturnedWithTheTableNumber) {
    LoopbackReceiver receiver;
    BroadcastSender sender(receiver.destination());
    // Above the largest UDP datagram.
    const std::optional<BroadcastFailure> failure = sender.Broadcast(QByteArray(70000, 'x'), {});
    ASSERT_TRUE(failure);
    EXPECT_EQ(BroadcastFailureMessage(*failure),
              failureMessage("Cannot Send Request.\r\n 10040Message too long."));
}

TEST(BroadcastSender, LeavesFromTheSourceAddressItIsGiven) {
    LoopbackReceiver receiver;
    BroadcastSender sender(receiver.destination());
    // Unbound, loopback would send from 127.0.0.1.
    EXPECT_EQ(sender.Broadcast("0C01S", Ipv4Address(0x7f000002U)), std::nullopt);
    QString source;
    EXPECT_EQ(receiver.receive(&source), "0C01S");
    EXPECT_EQ(source, "127.0.0.2");
}

TEST(BroadcastSender, SourceAddressNotOfThisPcIsReturnedAndNothingSent) {
    LoopbackReceiver receiver;
    BroadcastSender sender(receiver.destination());
    // Binding sends nothing.
    EXPECT_EQ(shownFor(sender.Broadcast("0C01S", Ipv4Address(0xc0000201U))), // 192.0.2.1
              "Cannot Send Request.\r\n 10049Can't assign requested address.");
    EXPECT_FALSE(receiver.receive(nullptr, 100));
}

TEST(BroadcastSender, SocketThatCannotBeCreatedIsReturnedWithTheTableNumber) {
    // As when the process has used up its descriptors (the sanitizers need some themselves,
    // so the limit cannot simply be lowered here).
    BroadcastSender sender({Ipv4Address(0x7F000001U), 9}, [](int, int, int) {
        errno = EMFILE;
        return -1;
    });
    EXPECT_EQ(shownFor(sender.Broadcast("0C01S", {})),
              "Cannot Create Socket.\r\n 10024Too many open files.");
}

} // namespace
} // namespace tarvex
