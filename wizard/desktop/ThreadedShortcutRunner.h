#pragma once

#include "desktop/ShortcutRunner.h"
#include "desktop/ShortcutWriter.h"

#include <QObject>
#include <QThread>
#include <functional>
#include <memory>

namespace tarvex {

// Writes on a thread of its own, one write after another, and answers through the event loop of
// the thread that made the runner; start() is called on that thread too. The writer is made on
// the writing thread at the first write and ended there, so that helper programs it starts are
// watched by that thread's event loop, never the window's.
class ThreadedShortcutRunner final : public ShortcutRunner {
public:
    using WriterMaker = std::function<std::unique_ptr<ShortcutWriter>()>;

    explicit ThreadedShortcutRunner(WriterMaker makeWriter);
    // Lets every write already started end (a file is never left half written), then ends the
    // writer and its thread; none of them answers afterwards.
    ~ThreadedShortcutRunner() override;
    ThreadedShortcutRunner(const ThreadedShortcutRunner&) = delete;
    ThreadedShortcutRunner& operator=(const ThreadedShortcutRunner&) = delete;

    void start(Ipv4Address address, const QString& hostName, Written written) override;

private:
    WriterMaker makeWriter_;
    std::unique_ptr<ShortcutWriter> writer_; // made, used and ended on thread_ only
    // Lives on the caller's thread: the answers run there, and die with it.
    std::unique_ptr<QObject> context_;
    QThread thread_;
    std::unique_ptr<QObject> worker_; // lives on thread_: the writes run there, in order
};

} // namespace tarvex
