#include "process/BoundedProcessQueue.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace tarvex {
namespace {

using namespace std::chrono_literals;

// Runs the queue's programs to their end; the ends in the order the programs were added.
std::vector<ProcessEnd> RunAll(BoundedProcessQueue& queue,
                               const std::vector<std::pair<QString, QStringList>>& programs) {
    std::vector<ProcessEnd> ends(programs.size());
    for (std::size_t i = 0; i < programs.size(); ++i) {
        queue.add(programs[i].first, programs[i].second,
                  [&ends, i](const ProcessEnd& end) { ends[i] = end; });
    }
    QEventLoop loop;
    QObject::connect(&queue, &BoundedProcessQueue::drained, &loop, &QEventLoop::quit);
    if (!queue.idle()) {
        loop.exec();
    }
    return ends;
}

void ExpectNoChildLeft() {
    errno = 0;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST(BoundedProcessQueue, RunsAtMostSoManyAtOnceInTurns) {
    BoundedProcessQueue queue(5s, 2);
    QElapsedTimer clock;
    clock.start();
    const std::vector<ProcessEnd> ends =
        RunAll(queue, std::vector(5, std::pair{QStringLiteral("/bin/sleep"), QStringList{"0.2"}}));
    EXPECT_GE(clock.elapsed(), 600); // three turns: 2, 2, 1
    EXPECT_LT(clock.elapsed(), 2000);
    for (const ProcessEnd& end : ends) {
        EXPECT_TRUE(end.succeeded());
    }
    ExpectNoChildLeft();
}

TEST(BoundedProcessQueue, EndsTheGroupAtTheLimitAndGivesTheFixedEnvironment) {
    BoundedProcessQueue queue(300ms, 32);
    queue.setEnvironment({"ONLY=this"});
    QElapsedTimer clock;
    clock.start();
    const std::vector<ProcessEnd> ends = RunAll(queue, {{"/bin/sleep", {"10"}},
                                                        {"/usr/bin/printenv", {"ONLY"}},
                                                        {"/usr/bin/printenv", {"HOME"}},
                                                        {"/nonexistent/program", {}}});
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(ends[0].kind, ProcessEnd::Kind::Killed);
    EXPECT_TRUE(ends[1].succeeded());
    EXPECT_EQ(ends[2].kind, ProcessEnd::Kind::Exited);
    EXPECT_EQ(ends[2].exitCode, 1); // nothing of this process's environment
    EXPECT_EQ(ends[3].kind, ProcessEnd::Kind::NotFound);
    ExpectNoChildLeft(); // the killed one reaped too, before the queue said it was idle
}

} // namespace
} // namespace tarvex
