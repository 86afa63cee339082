#pragma once

#include "base/Dialogs.h"

#include <QCoreApplication>
#include <QList>
#include <deque>
#include <functional>

namespace tarvex::testing {

// Calls back from the event loop, as a real window answers: never inside the call that asked.
inline void later(std::function<void()> call) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(call), Qt::QueuedConnection);
}

// Runs the calls queued so far and those they queue in turn, a bounded number of rounds.
inline void settle() {
    for (int round = 0; round < 16; ++round) {
        QCoreApplication::sendPostedEvents();
    }
}

// Answers message boxes in advance and keeps every message it was shown, in order.
// A box with no answer queued is answered OK; an asked box is answered from the event loop.
class ScriptedDialogs final : public Dialogs {
public:
    void setNextAnswer(MessageAnswer answer) { answers_.push_back(answer); }
    MessageAnswer showMessage(const Message& message) override {
        shown_.append(message);
        if (onShow) {
            onShow(shown_.size() - 1);
        }
        if (answers_.empty()) {
            return MessageAnswer::Ok;
        }
        const MessageAnswer answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    void ask(const Message& message, Answered done) override {
        later([done = std::move(done), answer = showMessage(message)] { done(answer); });
    }

    [[nodiscard]] const QList<Message>& shown() const { return shown_; }
    void clear() { shown_.clear(); }

    // Called with each box's index while it is up, e.g. to end the program meanwhile.
    std::function<void(qsizetype index)> onShow;

private:
    std::deque<MessageAnswer> answers_;
    QList<Message> shown_;
};

} // namespace tarvex::testing
