#pragma once

#include <QString>
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
// modal boxes; tests answer them in advance and read what was asked.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows the message and waits; Cancel also stands for a box closed with Esc or its close box.
    virtual MessageAnswer showMessage(const Message& message) = 0;
};

} // namespace tarvex
