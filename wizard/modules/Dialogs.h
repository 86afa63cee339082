#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace tarvex {

// The title a message box shows when it is given none of its own.
inline constexpr auto kProgramTitle = "Tarvex";

enum class MessageButtons { Ok, OkCancel };
enum class MessageIcon { None, Exclamation };
enum class MessageAnswer { Ok, Cancel };

struct Message {
    QString text;
    std::optional<QString> title; // none: the program's title
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;

    friend bool operator==(const Message&, const Message&) = default;
};

// Every message box of the wizard goes through this interface. The program shows real,
// application-modal boxes; tests answer them in advance and read what was asked. Cancel also
// stands for a box closed with Esc or its close box.
class Dialogs {
public:
    using Answered = std::function<void(MessageAnswer answer)>;

    virtual ~Dialogs() = default;
    // Shows the message and waits in a loop of its own: for pages that are not driven by the
    // setup run.
    virtual MessageAnswer showMessage(const Message& message) = 0;
    // Shows the message and returns at once; `done` gets the answer later, from the event loop,
    // and never if the box goes without an answer (the program ended meanwhile).
    virtual void ask(const Message& message, Answered done) = 0;
};

} // namespace tarvex
