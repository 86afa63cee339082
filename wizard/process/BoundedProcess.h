#pragma once

#include <QObject>
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>
#include <sys/types.h>
#include <vector>

class QSocketNotifier;
class QTimer;

namespace tarvex {

// Starts the program at that path in a session and so a process group of its own, its input and
// output on /dev/null and no other descriptor inherited; never through a shell. `environment`:
// the child's whole environment ("NAME=value"); empty: this process's. `output`: a descriptor
// for its standard output instead of /dev/null. The id, or -1.
[[nodiscard]] pid_t SpawnInOwnSession(const QString& path, const QStringList& arguments,
                                      const std::vector<QByteArray>& environment = {},
                                      int output = -1);

// How one external program ended, as far as it was waited for.
struct ProcessEnd {
    enum class Kind {
        NotFound,     // not on PATH
        NotStarted,   // found, but it could not be started
        Exited,       // exited by itself: see exitCode
        Killed,       // ended by a signal, its own or ours at the limit
        StillRunning, // still running at the limit, and left to run
    };
    Kind kind = Kind::NotFound;
    int exitCode = 0;
    QByteArray output; // its standard output, where kept (BoundedProcess::keepOutput)

    [[nodiscard]] bool succeeded() const { return kind == Kind::Exited && exitCode == 0; }
};

// What happens to a program that is still running at its limit.
enum class AtLimit {
    EndGroup,     // its whole process group is killed: a helper that must not linger
    LeaveRunning, // it is left alone: it may have become the application it opened
};

// One external program, started without blocking the thread, in a session and so a process
// group of its own, with its input and output on /dev/null, and watched for its end from the
// event loop. Reports once, from the event loop, never inside start().
//
// Destroyed while the program still runs: an EndGroup program gets a short grace to finish (the
// window is gone by then), then its group is killed and it is reaped, so nothing is left behind;
// a LeaveRunning program is let go, as it would be at its limit.
class BoundedProcess final : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(const ProcessEnd& end)>;

    BoundedProcess(std::chrono::milliseconds limit, AtLimit atLimit, QObject* parent = nullptr);
    ~BoundedProcess() override;
    BoundedProcess(const BoundedProcess&) = delete;
    BoundedProcess& operator=(const BoundedProcess&) = delete;

    // Looks the program up on PATH and starts it; `done` follows once. Only one start a process.
    void start(const QString& program, const QStringList& arguments, Done done);

    // Before start(): the program's whole environment ("NAME=value"), instead of this process's.
    void setEnvironment(std::vector<QByteArray> environment) {
        environment_ = std::move(environment);
    }

    // Before start(): the program's standard output is kept, up to kOutputKept bytes (the rest
    // is read and dropped, so that it never waits on a full pipe), and reported with its end.
    void keepOutput() { keepOutput_ = true; }
    static constexpr qsizetype kOutputKept = 64 * 1024;

    // The program's id (and its group's) while it runs; -1 otherwise.
    [[nodiscard]] pid_t pid() const { return pid_; }
    [[nodiscard]] bool running() const { return pid_ > 0; }

    // How long a destroyed EndGroup program may still take before it is killed.
    static constexpr std::chrono::milliseconds kGraceAtDestruction{300};

signals:
    // The program has ended and is reaped; also for one left running at its limit, which is
    // watched until then.
    void reaped();

private:
    void report(const ProcessEnd& end);
    void reportLater(const ProcessEnd& end);
    // Reaps the program if it ended; true then.
    bool reap();
    void onLimit();
    void release();
    void readOutput();

    std::chrono::milliseconds limit_;
    AtLimit atLimit_;
    pid_t pid_ = -1;
    int pidFd_ = -1;
    QSocketNotifier* ended_ = nullptr;
    QTimer* poll_ = nullptr; // where the kernel gives no descriptor for the end
    QTimer* limitTimer_ = nullptr;
    Done done_;
    std::vector<QByteArray> environment_; // empty: this process's
    bool keepOutput_ = false;
    int outputFd_ = -1; // the reading end of its standard output, while kept
    QSocketNotifier* outputReady_ = nullptr;
    QByteArray output_;
};

// Helpers started and forgotten: each runs in the background, bounded by the limit, and those
// still running when this is destroyed are ended as BoundedProcess describes.
class BackgroundPrograms final {
public:
    explicit BackgroundPrograms(std::chrono::milliseconds limit);
    ~BackgroundPrograms();
    BackgroundPrograms(const BackgroundPrograms&) = delete;
    BackgroundPrograms& operator=(const BackgroundPrograms&) = delete;

    // Returns at once; what the program comes to is not reported.
    void run(const QString& program, const QStringList& arguments);

    // The ids of the programs still running.
    [[nodiscard]] QList<pid_t> runningIds() const;

private:
    std::chrono::milliseconds limit_;
    std::unique_ptr<QObject> owner_; // parent of the running programs
};

} // namespace tarvex
