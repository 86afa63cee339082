#include "support/ScriptedDialogs.h"

namespace tarvex::testing {

MessageAnswer ScriptedDialogs::showMessage(const Message& message) {
    shown_.append(message);
    if (answers_.empty()) {
        return MessageAnswer::Ok;
    }
    const MessageAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

} // namespace tarvex::testing
