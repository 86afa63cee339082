#pragma once

#include "base/MessageDetails.h"
#include "diagnosis/LiveSystemView.h"

#include <QObject>
#include <QThreadPool>
#include <memory>

namespace tarvex {

// The diagnosis of this PC off the window's thread: start() returns pending details at once and
// sets them, through the event loop of the thread that made this, once every check has ended.
// The checks read small files and open no connection but the bus's, which has its own deadline
// (SystemBusHasName), so each diagnosis ends within about half a second.
class ThreadedDiagnosis final {
public:
    // textBase: the edition the findings speak.
    ThreadedDiagnosis(LiveSystemView::BusNameCheck busNameCheck, int textBase);
    // Waits for a diagnosis still running; its details are never set.
    ~ThreadedDiagnosis();
    ThreadedDiagnosis(const ThreadedDiagnosis&) = delete;
    ThreadedDiagnosis& operator=(const ThreadedDiagnosis&) = delete;

    [[nodiscard]] MessageDetails start();

private:
    LiveSystemView::BusNameCheck busNameCheck_;
    int textBase_;
    // Lives on the caller's thread: the details are set there, and never once it is gone.
    std::unique_ptr<QObject> context_;
    QThreadPool pool_;
};

} // namespace tarvex
