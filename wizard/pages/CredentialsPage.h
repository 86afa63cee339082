#pragma once

#include "appliance/Credentials.h"
#include "pages/ModalPage.h"

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvex {

// The credentials page, modal over Step 4, right before the configuration request. Next
// answers both boxes when both are filled (else both empty) and always closes; leaving the page
// any other way asks first and, confirmed, abandons the setup: then it answers none.
class CredentialsPage final : public ModalPage {
    Q_OBJECT
public:
    explicit CredentialsPage(PageFlow& flow, QWidget* owner = nullptr);
    void pageLoaded() override;
    // What Next took; none before Next, or when the setup was abandoned.
    [[nodiscard]] std::optional<Credentials> credentials() const { return credentials_; }

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
    std::optional<Credentials> credentials_;
};

} // namespace tarvex
