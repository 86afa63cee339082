#include "process/BoundedProcessQueue.h"

#include <algorithm>

namespace tarvex {

BoundedProcessQueue::BoundedProcessQueue(std::chrono::milliseconds limit, std::size_t mostAtOnce,
                                         QObject* parent)
    : QObject(parent), limit_(limit), mostAtOnce_(std::max<std::size_t>(mostAtOnce, 1)) {}

void BoundedProcessQueue::add(const QString& program, const QStringList& arguments,
                              BoundedProcess::Done done) {
    waiting_.push_back({program, arguments, std::move(done)});
    startWaiting();
}

void BoundedProcessQueue::startWaiting() {
    while (!waiting_.empty() && running_ < mostAtOnce_) {
        Waiting next = std::move(waiting_.front());
        waiting_.pop_front();
        ++running_;
        auto* process = new BoundedProcess(limit_, AtLimit::EndGroup, this);
        process->setEnvironment(environment_);
        process->start(next.program, next.arguments,
                       [this, process, done = std::move(next.done)](const ProcessEnd& end) {
                           if (done) {
                               done(end);
                           }
                           if (process->running()) {
                               // Killed at its limit: its place is free once it is reaped.
                               connect(process, &BoundedProcess::reaped, this,
                                       [this, process] { finished(process); });
                           } else {
                               finished(process);
                           }
                       });
    }
}

void BoundedProcessQueue::finished(BoundedProcess* process) {
    process->deleteLater(); // it may still be reporting
    --running_;
    startWaiting();
    if (idle()) {
        emit drained();
    }
}

} // namespace tarvex
