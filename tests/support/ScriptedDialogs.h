#pragma once

#include "modules/Dialogs.h"

#include <QList>
#include <deque>

namespace tarvex::testing {

// Answers message boxes in advance and keeps every message it was shown, in order.
// A box with no answer queued is answered OK.
class ScriptedDialogs final : public Dialogs {
public:
    void setNextAnswer(MessageAnswer answer) { answers_.push_back(answer); }
    MessageAnswer showMessage(const Message& message) override;

    [[nodiscard]] const QList<Message>& shown() const { return shown_; }
    void clear() { shown_.clear(); }

private:
    std::deque<MessageAnswer> answers_;
    QList<Message> shown_;
};

} // namespace tarvex::testing
