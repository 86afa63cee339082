// One wizard a user, in a runtime folder of the test's own: the lock, and the request to the
// front over the local socket, asked from another thread while this one runs the events.
#include "instance/FrontRequest.h"
#include "instance/FrontRequestServer.h"
#include "instance/WizardLock.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <future>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>

namespace tarvex {
namespace {

using namespace std::chrono_literals;

class WizardInstanceTest : public ::testing::Test {
protected:
    QTemporaryDir runtime_;
    std::optional<InstancePlace> place_ =
        InstancePlace{runtime_.filePath("tarvex.lock"), runtime_.filePath("tarvex.socket")};

    // The answer to a request made while the events run.
    FrontAnswer ask(const QByteArray& token, std::chrono::milliseconds limit = 3s) {
        auto answer = std::async(std::launch::async, [this, token, limit] {
            return AskToFront(place_->socket, token, limit);
        });
        (void)QTest::qWaitFor(
            [&answer] { return answer.wait_for(0ms) == std::future_status::ready; }, 5000);
        return answer.get();
    }
};

TEST_F(WizardInstanceTest, TheFirstHoldsTheLockTheSecondFindsItHeldUntilTheFirstEnds) {
    EXPECT_FALSE(WizardLock::WizardIsOpen(place_));
    {
        const WizardLock first(place_);
        const WizardLock second(place_);
        EXPECT_TRUE(first.held());
        EXPECT_FALSE(second.held());
        EXPECT_TRUE(second.heldElsewhere());
        EXPECT_TRUE(WizardLock::WizardIsOpen(place_));
    }
    EXPECT_FALSE(WizardLock::WizardIsOpen(place_));
    // Without a runtime folder every start is a wizard of its own.
    EXPECT_FALSE(WizardLock(std::nullopt).heldElsewhere());
}

TEST_F(WizardInstanceTest, ARequestBringsTheWindowForwardAndHearsWhetherItIsInFront) {
    // A socket left behind by a wizard that crashed.
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, place_->socket.toLocal8Bit().constData(), sizeof address.sun_path);
    const int stale = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(bind(stale, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    close(stale);

    const WizardLock lock(place_);
    QByteArrayList tokens;
    bool inFront = true;
    const FrontRequestServer server(lock,
                                    {[&tokens](const QByteArray& token) { tokens << token; },
                                     [&] {
                                         return inFront;
                                     }},
                                    50ms);
    ASSERT_TRUE(server.listening());
    EXPECT_EQ(ask("launcher-token_1"), FrontAnswer::InFront);
    inFront = false;
    EXPECT_EQ(ask(""), FrontAnswer::Behind);
    EXPECT_EQ(tokens, (QByteArrayList{"launcher-token_1", ""}));
}

TEST_F(WizardInstanceTest, WithoutAWizardListeningTheRequestEndsInItsTime) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ask("token", 300ms), FrontAnswer::NoAnswer);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
}

} // namespace
} // namespace tarvex
