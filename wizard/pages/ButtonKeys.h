#pragma once

class QKeyEvent;
class QPushButton;

namespace tarvex {

// The keys of a page's two roles: Enter presses the default button, Esc the cancel button.
// Step pages and the modal pages share it, so that both treat the keys alike.
class ButtonKeys final {
public:
    // Makes the button the default one (drawn so) and takes the role from the one before.
    void setDefaultButton(QPushButton* button);
    void setCancelButton(QPushButton* button);

    [[nodiscard]] QPushButton* defaultButton() const { return defaultButton_; }
    [[nodiscard]] QPushButton* cancelButton() const { return cancelButton_; }

    // Presses the button the key stands for and returns true. Esc is taken even when its button
    // is disabled: a dialog would otherwise close itself past the page's own Exit. False for
    // every other key, which the page handles as usual.
    bool keyPress(QKeyEvent* event) const;

private:
    QPushButton* defaultButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

} // namespace tarvex
