#pragma once

#include "base/MessageDetails.h"

#include <QString>
#include <functional>
#include <optional>
#include <utility>

namespace tarvex {

// The title a message box shows when it is given none of its own.
inline constexpr auto kProgramTitle = "Tarvex";

enum class MessageButtons { Ok, OkCancel };
enum class MessageIcon { None, Exclamation };
enum class MessageAnswer { Ok, Cancel };

struct Message {
    Message() = default;
    // Spelled out so that a message without details is still written {text, title, ...}.
    explicit Message(QString text_) : text(std::move(text_)) {}
    Message(QString text_, std::optional<QString> title_,
            MessageButtons buttons_ = MessageButtons::Ok, MessageIcon icon_ = MessageIcon::None,
            MessageDetails details_ = {})
        : text(std::move(text_)), title(std::move(title_)), buttons(buttons_), icon(icon_),
          details(std::move(details_)) {}

    QString text;
    std::optional<QString> title; // none: the program's title
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    // Shown on request under the text ("Show Details..."), once known; empty: none.
    MessageDetails details;

    friend bool operator==(const Message&, const Message&) = default;
};

// The message boxes as code that never waits sees them: each returns at once. The setup run is
// handed only this, so that no box that waits in a loop of its own can be called from it.
class MessageAsker {
public:
    using Answered = std::function<void(MessageAnswer answer)>;

    virtual ~MessageAsker() = default;
    // Shows the message and returns at once; `done` gets the answer later, from the event loop,
    // and never if the box goes without an answer (the program ended meanwhile).
    virtual void ask(const Message& message, Answered done) = 0;
};

// Every message box of the wizard goes through this interface. The program shows real,
// application-modal boxes; tests answer them in advance and read what was asked. Cancel also
// stands for a box closed with Esc or its close box.
class Dialogs : public MessageAsker {
public:
    // Shows the message and waits in a loop of its own: for pages that are not driven by the
    // setup run.
    virtual MessageAnswer showMessage(const Message& message) = 0;
};

} // namespace tarvex
