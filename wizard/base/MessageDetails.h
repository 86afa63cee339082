#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace tarvex {

// The details of a message: known when the message is shown, or found later (the diagnosis
// runs off the window's thread), so that the box need not wait for them. A pending one is set
// once; whoever shows it hears when. Read and set on the window's thread only.
class MessageDetails {
public:
    MessageDetails() = default;
    // Known now. Implicit, so that a text is details as it stands.
    MessageDetails(QString text) // NOLINT(google-explicit-constructor)
        : state_(std::make_shared<State>(State{true, std::move(text), {}})) {}

    // Details to come: set() them once they are found.
    [[nodiscard]] static MessageDetails later() {
        MessageDetails details;
        details.state_ = std::make_shared<State>();
        return details;
    }

    // Sets pending details and tells those waiting; details already known stay as they are.
    void set(QString text) const {
        if (!state_ || state_->ready) {
            return;
        }
        state_->ready = true;
        state_->text = std::move(text);
        const std::vector<std::function<void(const QString&)>> waiting = std::move(state_->waiting);
        state_->waiting.clear();
        for (const auto& tell : waiting) {
            tell(state_->text);
        }
    }

    [[nodiscard]] bool ready() const { return !state_ || state_->ready; }
    [[nodiscard]] QString text() const { return state_ ? state_->text : QString(); }
    [[nodiscard]] bool isEmpty() const { return ready() && text().isEmpty(); }

    // Calls `tell` with the text once it is known: at once when it is.
    void whenReady(std::function<void(const QString&)> tell) const {
        if (ready()) {
            tell(text());
        } else {
            state_->waiting.push_back(std::move(tell));
        }
    }

    // Known details are equal by their text; pending ones only to themselves.
    friend bool operator==(const MessageDetails& a, const MessageDetails& b) {
        if (a.ready() && b.ready()) {
            return a.text() == b.text();
        }
        return a.state_ == b.state_;
    }

private:
    struct State {
        bool ready = false;
        QString text;
        std::vector<std::function<void(const QString&)>> waiting;
    };
    std::shared_ptr<State> state_;
};

} // namespace tarvex
