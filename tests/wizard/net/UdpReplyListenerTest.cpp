// The listener binds a port the kernel chose as free; datagrams come only from 127.0.0.1.
#include "net/UdpReplyListener.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QUdpSocket>
#include <cerrno>
#include <gtest/gtest.h>
#include <net/if.h>

namespace tarvex {
namespace {

// A port that is free on loopback and so for the listener too.
quint16 FreePort() {
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

void SendToLoopback(quint16 port, const QList<QByteArray>& datagrams) {
    QUdpSocket sender;
    for (const QByteArray& datagram : datagrams) {
        sender.writeDatagram(datagram, QHostAddress::LocalHost, port);
    }
}

// Lets events run until `count` datagrams came or the time is up.
void WaitFor(const QList<QByteArray>& received, qsizetype count, qint64 milliseconds = 2000) {
    QElapsedTimer clock;
    clock.start();
    while (received.size() < count && clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

class ReplyListenerTest : public ::testing::Test {
protected:
    quint16 port_ = FreePort();
    UdpReplyListener listener_{port_};
    QList<QByteArray> received_;
    QList<ArrivedDatagram> arrivals_;
    ReplyListener::Receiver record_ = [this](const ArrivedDatagram& datagram) {
        received_.append(datagram.bytes);
        arrivals_.append(datagram);
    };
};

// The holder found through /proc is this test itself; a free port has none.
TEST_F(ReplyListenerTest, PortHeldElsewhereIsReportedWithItsHolder) {
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress::LocalHost, 0, QAbstractSocket::DontShareAddress));
    UdpReplyListener listener(holder.localPort());
    const std::optional<ListenerFailure> failure = listener.OpenListener(record_);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->error, EADDRINUSE);
    EXPECT_EQ(failure->reason, "Address already in use.");
    QFile comm(QStringLiteral("/proc/self/comm"));
    ASSERT_TRUE(comm.open(QIODevice::ReadOnly));
    EXPECT_EQ(failure->holder,
              (UdpPortHolder{QCoreApplication::applicationPid(), comm.readAll().trimmed()}));
    EXPECT_EQ(FindUdpPortHolder(FreePort()), std::nullopt);
}

TEST_F(ReplyListenerTest, DeliversEachDatagramWholeAsBytes) {
    const QList<QByteArray> datagrams = {QByteArray("0C01R"), QByteArray("\xff\xfe\x80 ok", 6),
                                         QByteArray("a\0b", 3), QByteArray()};
    ASSERT_FALSE(listener_.OpenListener(record_).has_value());
    SendToLoopback(port_, datagrams);
    WaitFor(received_, datagrams.size());
    EXPECT_EQ(received_, datagrams);
    ASSERT_FALSE(arrivals_.isEmpty());
    EXPECT_EQ(arrivals_[0].interfaceIndex, if_nametoindex("lo"));
    EXPECT_EQ(arrivals_[0].source, Ipv4Address(0x7f000001U));
}

TEST_F(ReplyListenerTest, ClosingInsideTheReceiverStopsDelivery) {
    ASSERT_FALSE(listener_
                     .OpenListener([this](const ArrivedDatagram& datagram) {
                         received_.append(datagram.bytes);
                         listener_.CloseListener();
                     })
                     .has_value());
    SendToLoopback(port_, {"one", "two", "three"});
    WaitFor(received_, 3, 200);
    EXPECT_EQ(received_, QList<QByteArray>{"one"});

    // Reopened, it receives again, and nothing left from before.
    ASSERT_FALSE(listener_.OpenListener(record_).has_value());
    SendToLoopback(port_, {"four"});
    WaitFor(received_, 2);
    EXPECT_EQ(received_, (QList<QByteArray>{"one", "four"}));
}

TEST_F(ReplyListenerTest, ReadsAThousandDatagramBurst) {
    ASSERT_FALSE(listener_.OpenListener(record_).has_value());
    // In bursts of 100, as many as the kernel's receive buffer surely holds.
    for (int burst = 0; burst < 10; ++burst) {
        QList<QByteArray> datagrams;
        for (int i = 0; i < 100; ++i) {
            datagrams.append(QByteArray::number(burst * 100 + i));
        }
        SendToLoopback(port_, datagrams);
        WaitFor(received_, (burst + 1) * 100);
    }
    ASSERT_EQ(received_.size(), 1000);
    EXPECT_EQ(received_.back(), "999");
}

TEST_F(ReplyListenerTest, OneWakeUpReadsABatchAndTheRestFollowsUnlessThePortCloses) {
    QList<QByteArray> datagrams;
    for (int i = 0; i < 200; ++i) {
        datagrams.append(QByteArray::number(i));
    }
    for (const bool closeAfterOne : {false, true}) {
        SCOPED_TRACE(closeAfterOne);
        received_.clear();
        ASSERT_FALSE(listener_.OpenListener(record_).has_value());
        SendToLoopback(port_, datagrams);
        QElapsedTimer clock;
        clock.start();
        while (received_.isEmpty() && clock.elapsed() < 2000) {
            QCoreApplication::processEvents(); // one pass: one wake-up of the listener
        }
        ASSERT_FALSE(received_.isEmpty());
        EXPECT_LT(received_.size(), datagrams.size());
        if (closeAfterOne) {
            const qsizetype first = received_.size();
            listener_.CloseListener();
            WaitFor(received_, datagrams.size(), 200);
            EXPECT_EQ(received_.size(), first);
        } else {
            WaitFor(received_, datagrams.size());
            EXPECT_EQ(received_, datagrams);
        }
    }
}

} // namespace
} // namespace tarvex
