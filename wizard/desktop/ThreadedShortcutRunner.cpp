#include "desktop/ThreadedShortcutRunner.h"

#include <QMetaObject>
#include <utility>

namespace tarvex {

ThreadedShortcutRunner::ThreadedShortcutRunner(WriterMaker makeWriter)
    : makeWriter_(std::move(makeWriter)), context_(std::make_unique<QObject>()),
      worker_(std::make_unique<QObject>()) {
    thread_.setObjectName(QStringLiteral("shortcut writer"));
    worker_->moveToThread(&thread_);
}

ThreadedShortcutRunner::~ThreadedShortcutRunner() {
    if (thread_.isRunning()) {
        // Queued behind the writes still waiting, so they all end first.
        QMetaObject::invokeMethod(
            worker_.get(),
            [this] {
                writer_.reset();
                thread_.quit();
            },
            Qt::QueuedConnection);
        thread_.wait();
    }
    // The answers still queued are dropped with their context.
    context_.reset();
}

void ThreadedShortcutRunner::start(Ipv4Address address, const QString& hostName, Written written) {
    if (!thread_.isRunning()) {
        thread_.start();
    }
    QObject* context = context_.get();
    QMetaObject::invokeMethod(
        worker_.get(),
        [this, context, address, hostName, written = std::move(written)]() mutable {
            if (!writer_) {
                writer_ = makeWriter_();
            }
            const std::optional<ShortcutFailure> failure =
                writer_->CreateShortcuts(address, hostName);
            QMetaObject::invokeMethod(
                context, [failure, written = std::move(written)] { written(failure); },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

} // namespace tarvex
