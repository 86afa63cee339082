// One wizard a user, in a runtime folder of the test's own: the lock, and the request to the
// front over the local socket, asked from another thread while this one runs the events.
#include "instance/FrontRequest.h"
#include "instance/FrontRequestServer.h"
#include "instance/WizardLock.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <future>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace tarvex {
namespace {

using namespace std::chrono_literals;

class WizardInstanceTest : public ::testing::Test {
protected:
    QTemporaryDir runtime_;
    std::optional<InstancePlace> place_ =
        InstancePlace{runtime_.filePath("tarvex.lock"), runtime_.filePath("tarvex.socket")};

    // The answer to a request made while the events run.
    FrontAnswer ask(const QByteArray& token, std::chrono::milliseconds limit = 3s,
                    uid_t user = geteuid()) {
        auto answer = std::async(std::launch::async, [this, token, limit, user] {
            return AskToFront(place_->socket, token, limit, user);
        });
        (void)QTest::qWaitFor(
            [&answer] { return answer.wait_for(0ms) == std::future_status::ready; }, 5000);
        return answer.get();
    }
};

// Only a folder that is the user's alone holds the lock: anywhere else another user could put
// a lock, a socket or a link there first.
TEST_F(WizardInstanceTest, TheLockLivesOnlyInAFolderThatIsTheUsersAlone) {
    const uid_t me = geteuid();
    const QString folder = runtime_.filePath("run");
    const QString link = runtime_.filePath("link");
    ASSERT_EQ(mkdir(QFile::encodeName(folder).constData(), 0700), 0);
    ASSERT_EQ(symlink(QFile::encodeName(folder).constData(), QFile::encodeName(link).constData()),
              0);
    const auto placeWith = [&](mode_t mode, const QString& path, uid_t user) {
        EXPECT_EQ(chmod(QFile::encodeName(folder).constData(), mode), 0);
        return InstancePlaceIn(path, user);
    };
    const auto own = placeWith(0700, folder, me);
    ASSERT_TRUE(own);
    EXPECT_EQ(own->lock, QStringLiteral("%1/tarvex-%2.lock").arg(folder).arg(me));
    EXPECT_FALSE(placeWith(0700, link, me)) << "a link to the folder";
    EXPECT_FALSE(placeWith(0700, folder, me + 1)) << "another user's folder";
    EXPECT_FALSE(placeWith(0750, folder, me)) << "open to the group";
    EXPECT_FALSE(placeWith(01777, folder, me)) << "a shared sticky folder";
    EXPECT_FALSE(placeWith(0700, runtime_.filePath("missing"), me));
    EXPECT_FALSE(placeWith(0700, QString(), me));
}

TEST_F(WizardInstanceTest, ALinkInPlaceOfTheLockIsNeitherFollowedNorTakenForAWizard) {
    const QString target = runtime_.filePath("elsewhere");
    ASSERT_EQ(
        symlink(QFile::encodeName(target).constData(), QFile::encodeName(place_->lock).constData()),
        0);
    const WizardLock lock(place_);
    EXPECT_FALSE(lock.held());
    EXPECT_FALSE(lock.heldElsewhere());
    EXPECT_FALSE(WizardLock::WizardIsOpen(place_));
    EXPECT_FALSE(QFile::exists(target)) << "the link was followed";
}

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

// The kernel's record of the peer's user decides, on both ends: the token goes to no other
// user's listener, and no other user's caller moves the window.
TEST_F(WizardInstanceTest, NeitherEndTalksToAnotherUser) {
    const WizardLock lock(place_);
    QByteArrayList tokens;
    const FrontRequestServer::Window window{[&tokens](const QByteArray& token) { tokens << token; },
                                            [] {
                                                return true;
                                            }};
    {
        const FrontRequestServer othersWizard(lock, window, 50ms, 2s, geteuid() + 1);
        ASSERT_TRUE(othersWizard.listening());
        EXPECT_EQ(ask("from-a-stranger", 1s), FrontAnswer::NoAnswer);
    }
    const FrontRequestServer server(lock, window, 50ms);
    ASSERT_TRUE(server.listening());
    EXPECT_EQ(ask("for-another-user", 1s, geteuid() + 1), FrontAnswer::NoAnswer);
    EXPECT_EQ(tokens, QByteArrayList{});
}

TEST_F(WizardInstanceTest, WithoutAWizardListeningTheRequestEndsInItsTime) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ask("token", 300ms), FrontAnswer::NoAnswer);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
}

} // namespace
} // namespace tarvex
