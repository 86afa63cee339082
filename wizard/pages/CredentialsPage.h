#pragma once

#include "pages/ModalPage.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvex {

// The credentials page, modal over Step 4, right before the configuration request. Next
// stores both boxes in UserName and Password when both are filled and always closes; leaving
// the page any other way asks first and, confirmed, abandons the setup (the dialog's result is
// then Rejected).
class CredentialsPage final : public ModalPage {
    Q_OBJECT
public:
    explicit CredentialsPage(PageFlow& flow, QWidget* owner = nullptr);
    void pageLoaded() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void nextClicked();
    void exitClicked();
    // "Are you sure of exiting setup?"; whether the user said OK.
    [[nodiscard]] bool confirmLeavingSetup();

    QLineEdit* txtPassword;
    QLineEdit* txtUsername;
    QPushButton* exitButton;
    QPushButton* nextButton;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
};

} // namespace tarvex
