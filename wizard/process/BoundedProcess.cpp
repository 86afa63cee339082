#include "process/BoundedProcess.h"

#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace tarvex {
namespace {

using Clock = std::chrono::steady_clock;

// How often a program is looked at where the kernel gives no descriptor to watch its end by.
constexpr std::chrono::milliseconds kPollInterval{20};

ProcessEnd EndOfStatus(int status) {
    if (WIFEXITED(status)) {
        return {ProcessEnd::Kind::Exited, WEXITSTATUS(status), {}};
    }
    return {ProcessEnd::Kind::Killed, 0, {}};
}

// True once the program has ended; it is not reaped, so that its id (and its group's) stays
// its own until then.
bool HasEnded(pid_t pid) {
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid;
}

} // namespace

// Started in a session of its own: its own process group, away from the wizard's terminal and
// signals, so that it can be ended whole or outlive the wizard.
pid_t SpawnInOwnSession(const QString& path, const QStringList& arguments,
                        const std::vector<QByteArray>& environment, int output) {
    std::vector<QByteArray> words{QFile::encodeName(path)};
    for (const QString& argument : arguments) {
        words.push_back(argument.toLocal8Bit());
    }
    std::vector<char*> argv;
    for (QByteArray& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (fd == STDOUT_FILENO && output >= 0) {
            posix_spawn_file_actions_adddup2(&actions, output, fd);
            continue;
        }
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY,
                                         0);
    }
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGCHLD);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    std::vector<QByteArray> settings = environment;
    std::vector<char*> envp;
    for (QByteArray& setting : settings) {
        envp.push_back(setting.data());
    }
    envp.push_back(nullptr);
    pid_t pid = -1;
    const int error = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(),
                                  environment.empty() ? environ : envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

BoundedProcess::BoundedProcess(std::chrono::milliseconds limit, AtLimit atLimit, QObject* parent)
    : QObject(parent), limit_(limit), atLimit_(atLimit) {}

BoundedProcess::~BoundedProcess() {
    if (pid_ > 0 && atLimit_ == AtLimit::EndGroup) {
        // The program's end comes with the wizard's: a helper nearly done may finish, then
        // whatever is left of its group is killed and reaped.
        const Clock::time_point graceEnd = Clock::now() + kGraceAtDestruction;
        while (!HasEnded(pid_) && Clock::now() < graceEnd) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        kill(-pid_, SIGKILL);
        const Clock::time_point reapEnd = Clock::now() + kGraceAtDestruction;
        while (waitpid(pid_, nullptr, WNOHANG) == 0 && Clock::now() < reapEnd) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    // A LeaveRunning program is let go: the system reaps it once the wizard has ended.
    release();
}

void BoundedProcess::start(const QString& program, const QStringList& arguments, Done done) {
    done_ = std::move(done);
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) {
        reportLater({ProcessEnd::Kind::NotFound, 0, {}});
        return;
    }
    int outputPipe[2] = {-1, -1};
    if (keepOutput_ && pipe2(outputPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        reportLater({ProcessEnd::Kind::NotStarted, 0, {}});
        return;
    }
    pid_ = SpawnInOwnSession(path, arguments, environment_, outputPipe[1]);
    if (outputPipe[1] >= 0) {
        close(outputPipe[1]); // the program's own now
        outputFd_ = outputPipe[0];
    }
    if (pid_ <= 0) {
        pid_ = -1;
        release();
        reportLater({ProcessEnd::Kind::NotStarted, 0, {}});
        return;
    }
    if (outputFd_ >= 0) {
        outputReady_ = new QSocketNotifier(outputFd_, QSocketNotifier::Read, this);
        connect(outputReady_, &QSocketNotifier::activated, this, &BoundedProcess::readOutput);
    }
    pidFd_ = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
    if (pidFd_ >= 0) {
        ended_ = new QSocketNotifier(pidFd_, QSocketNotifier::Read, this);
        connect(ended_, &QSocketNotifier::activated, this, [this] { (void)reap(); });
    } else {
        poll_ = new QTimer(this);
        connect(poll_, &QTimer::timeout, this, [this] { (void)reap(); });
        poll_->start(kPollInterval);
    }
    limitTimer_ = new QTimer(this);
    limitTimer_->setSingleShot(true);
    // A coarse timer may fire 5 % early: a program is given its whole time, never less.
    limitTimer_->setTimerType(Qt::PreciseTimer);
    connect(limitTimer_, &QTimer::timeout, this, &BoundedProcess::onLimit);
    limitTimer_->start(limit_);
}

bool BoundedProcess::reap() {
    if (pid_ <= 0 || !HasEnded(pid_)) {
        return false;
    }
    if (atLimit_ == AtLimit::EndGroup) {
        kill(-pid_, SIGKILL); // what it left behind in its group
    }
    int status = 0;
    (void)waitpid(pid_, &status, 0); // it has ended: returns at once
    pid_ = -1;
    readOutput(); // what it wrote before its end is all in the pipe by now
    release();
    emit reaped();
    ProcessEnd end = EndOfStatus(status);
    end.output = std::move(output_);
    report(end);
    return true;
}

void BoundedProcess::readOutput() {
    char buffer[4096];
    ssize_t got = 0;
    while (outputFd_ >= 0 && (got = read(outputFd_, buffer, sizeof buffer)) > 0) {
        output_.append(buffer, std::min<qsizetype>(got, kOutputKept - output_.size()));
    }
    if (got == 0 && outputReady_ != nullptr) {
        outputReady_->setEnabled(false); // every writer has closed it
    }
}

void BoundedProcess::onLimit() {
    if (reap() || pid_ <= 0) {
        return;
    }
    if (atLimit_ == AtLimit::LeaveRunning) {
        // Still watched, so that it is reaped if it ends while the wizard runs; not reported again.
        report({ProcessEnd::Kind::StillRunning, 0, {}});
        return;
    }
    kill(-pid_, SIGKILL);
    // The kill is reported now; the leader is reaped when its end shows.
    report({ProcessEnd::Kind::Killed, 0, {}});
}

void BoundedProcess::release() {
    // Called from their own signals too: stopped here, deleted with this object.
    for (QSocketNotifier* notifier : {ended_, outputReady_}) {
        if (notifier != nullptr) {
            notifier->setEnabled(false);
        }
    }
    for (int* fd : {&pidFd_, &outputFd_}) {
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
    }
    for (QTimer* timer : {poll_, limitTimer_}) {
        if (timer != nullptr) {
            timer->stop();
        }
    }
}

void BoundedProcess::report(const ProcessEnd& end) {
    Done done = std::move(done_);
    done_ = nullptr;
    if (done) {
        done(end); // may delete this
    }
}

void BoundedProcess::reportLater(const ProcessEnd& end) {
    QTimer::singleShot(0, this, [this, end] { report(end); });
}

BackgroundPrograms::BackgroundPrograms(std::chrono::milliseconds limit)
    : limit_(limit), owner_(std::make_unique<QObject>()) {}

BackgroundPrograms::~BackgroundPrograms() = default;

void BackgroundPrograms::run(const QString& program, const QStringList& arguments) {
    auto* process = new BoundedProcess(limit_, AtLimit::EndGroup, owner_.get());
    process->start(program, arguments, [process](const ProcessEnd&) { process->deleteLater(); });
}

QList<pid_t> BackgroundPrograms::runningIds() const {
    QList<pid_t> ids;
    for (const BoundedProcess* process : owner_->findChildren<BoundedProcess*>()) {
        if (process->running()) {
            ids.append(process->pid());
        }
    }
    return ids;
}

} // namespace tarvex
