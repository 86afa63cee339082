#include "diagnosis/ThreadedDiagnosis.h"

#include "diagnosis/Diagnosis.h"

#include <QMetaObject>

namespace tarvex {

ThreadedDiagnosis::ThreadedDiagnosis(LiveSystemView::BusNameCheck busNameCheck, int textBase)
    : busNameCheck_(std::move(busNameCheck)), textBase_(textBase),
      context_(std::make_unique<QObject>()) {}

ThreadedDiagnosis::~ThreadedDiagnosis() {
    pool_.waitForDone();
    context_.reset(); // drops the deliveries still queued
}

MessageDetails ThreadedDiagnosis::start() {
    MessageDetails details = MessageDetails::later();
    QObject* context = context_.get();
    pool_.start([check = busNameCheck_, textBase = textBase_, context, details] {
        LiveSystemView system(check);
        QString text = DiagnosisLines(Diagnose(system, textBase), textBase).join(QLatin1Char('\n'));
        QMetaObject::invokeMethod(
            context, [details, text = std::move(text)] { details.set(text); },
            Qt::QueuedConnection);
    });
    return details;
}

} // namespace tarvex
