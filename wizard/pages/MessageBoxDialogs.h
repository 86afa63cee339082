#pragma once

#include "base/Dialogs.h"

#include <functional>

class QWidget;

namespace tarvex {

// Real, application-modal message boxes. A box given no title shows the program's title.
class MessageBoxDialogs final : public Dialogs {
public:
    // The window each box is to stand over, asked afresh for every box; null: none.
    using ParentSource = std::function<QWidget*()>;

    explicit MessageBoxDialogs(ParentSource parent);

    MessageAnswer showMessage(const Message& message) override;
    void ask(const Message& message, Answered done) override;

private:
    [[nodiscard]] QWidget* parent() const;

    ParentSource parent_;
};

} // namespace tarvex
