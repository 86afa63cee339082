#pragma once

#include "modules/Dialogs.h"

namespace tarvex {

// Real, application-modal message boxes. A box given no title shows the program's title.
class MessageBoxDialogs final : public Dialogs {
public:
    MessageAnswer showMessage(const Message& message) override;
    void ask(const Message& message, Answered done) override;
};

} // namespace tarvex
