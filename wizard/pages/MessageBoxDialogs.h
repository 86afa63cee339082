#pragma once

#include "modules/Dialogs.h"

class QWidget;

namespace tarvex {

// Real, modal message boxes. A box given no title shows the program's title.
class MessageBoxDialogs final : public Dialogs {
public:
    MessageAnswer showMessage(const Message& message) override;
};

} // namespace tarvex
