#pragma once

#include "process/BoundedProcess.h"

#include <QObject>
#include <chrono>
#include <deque>
#include <vector>

namespace tarvex {

// Programs run as BoundedProcess runs them (EndGroup at the limit), at most `mostAtOnce` at a
// time, the others waiting their turn in the order added. Each one's end is reported as it comes;
// a place is free again once its program is reaped, so no more than that many ever exist.
class BoundedProcessQueue final : public QObject {
    Q_OBJECT
public:
    BoundedProcessQueue(std::chrono::milliseconds limit, std::size_t mostAtOnce,
                        QObject* parent = nullptr);

    // Before add(): the whole environment of every program ("NAME=value"); empty: this process's.
    void setEnvironment(std::vector<QByteArray> environment) {
        environment_ = std::move(environment);
    }

    // Starts the program now if a place is free, else when one is; `done` follows once, from
    // the event loop.
    void add(const QString& program, const QStringList& arguments, BoundedProcess::Done done);

    // Nothing waiting, nothing running or left to reap.
    [[nodiscard]] bool idle() const { return waiting_.empty() && running_ == 0; }

signals:
    // The queue has become idle.
    void drained();

private:
    struct Waiting {
        QString program;
        QStringList arguments;
        BoundedProcess::Done done;
    };
    void startWaiting();
    void finished(BoundedProcess* process);

    std::chrono::milliseconds limit_;
    std::size_t mostAtOnce_;
    std::vector<QByteArray> environment_;
    std::deque<Waiting> waiting_;
    std::size_t running_ = 0; // started and not yet both reported and reaped
};

} // namespace tarvex
