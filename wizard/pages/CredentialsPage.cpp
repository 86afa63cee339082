#include "pages/CredentialsPage.h"

#include "base/Dialogs.h"
#include "pages/PageDesign.h"
#include "pages/Twips.h"
#include "texts/TextCatalog.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tarvex {
namespace {

// The appliance's factory-default management credential, preset in both boxes.
const QString kFactoryCredential = QStringLiteral("qorvu");

QLineEdit* textBox(QWidget* page, const QString& name, int topTwips) {
    auto* box = new QLineEdit(page);
    box->setObjectName(name);
    box->setGeometry(twipsRect(2160, topTwips, 2655, 420));
    box->setFont(design::pageTextFont());
    // Shown as typed, the password too.
    box->setEchoMode(QLineEdit::Normal);
    return box;
}

QPushButton* button(QWidget* page, const QString& name, QRect geometry) {
    QPushButton* result = design::commandButton(page, name, 0);
    result->setGeometry(geometry);
    return result;
}

QLabel* fieldLabel(QWidget* page, const QString& name, QRect geometry) {
    QLabel* label = design::label(page, name, geometry, design::pageTextFont());
    label->setWordWrap(false);
    // Level with the text in the box beside it.
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

} // namespace

CredentialsPage::CredentialsPage(PageFlow& flow, QWidget* owner)
    : ModalPage(flow, owner, QStringLiteral("CredentialsPage"),
                QStringLiteral("Dravik Configuration and Setup Utility - Config"),
                QSize(5172, 3960)),
      txtPassword(textBox(this, QStringLiteral("txtPassword"), 840)),
      txtUsername(textBox(this, QStringLiteral("txtUsername"), 240)),
      exitButton(button(this, QStringLiteral("exitButton"), twipsRect(3720, 3360, 1335, 495))),
      nextButton(button(this, QStringLiteral("nextButton"), twipsRect(2280, 3360, 1215, 495))),
      Label1(fieldLabel(this, QStringLiteral("Label1"), twipsRect(480, 240, 1575, 375))),
      Label2(fieldLabel(this, QStringLiteral("Label2"), twipsRect(480, 840, 1575, 375))),
      Label3(design::label(this, QStringLiteral("Label3"), twipsRect(120, 1680, 4935, 1455),
                           design::pageTextFont())) {
    design::focusOrder({txtPassword, txtUsername, exitButton, nextButton});
    // A screen reader names each text box by the label beside it.
    Label1->setBuddy(txtUsername);
    Label2->setBuddy(txtPassword);
    setDefaultButton(nextButton);
    setCancelButton(exitButton);
    connect(nextButton, &QPushButton::clicked, this, &CredentialsPage::nextClicked);
    connect(exitButton, &QPushButton::clicked, this, &CredentialsPage::exitClicked);
}

void CredentialsPage::pageLoaded() {
    credentials_.reset();
    const PageSettings& look = settings();
    paintBackground(look.PageBackColor);
    for (QLabel* label : {Label1, Label2, Label3}) {
        design::colour(label, look.LabelBackColor, look.LabelForeColor);
    }
    txtUsername->setText(kFactoryCredential);
    txtPassword->setText(kFactoryCredential);
    Label1->setText(catalogText(Text::UserNameLabel));
    Label2->setText(catalogText(Text::PasswordLabel));
    Label3->setText(catalogText(Text::CredentialsNote));
    nextButton->setText(catalogText(Text::Next));
    exitButton->setText(catalogText(Text::Cancel));
}

void CredentialsPage::nextClicked() {
    const QString userName = txtUsername->text();
    const QString password = txtPassword->text();
    // Spaces are content; only a box with nothing at all in it counts as empty.
    if (!userName.isEmpty() && !password.isEmpty()) {
        credentials_ = Credentials{userName, password};
    } else {
        dialogs().showMessage({catalogText(Text::InputCredentials), std::nullopt,
                               MessageButtons::Ok, MessageIcon::None});
        // No second try: the run goes on with both empty.
        credentials_ = Credentials{};
    }
    accept();
}

void CredentialsPage::exitClicked() {
    if (confirmLeavingSetup()) {
        reject();
    }
}

void CredentialsPage::closeEvent(QCloseEvent* event) {
    if (!isVisible()) {
        QDialog::closeEvent(event);
        return;
    }
    // Closing would otherwise let the run send a request with empty credentials.
    if (!confirmLeavingSetup()) {
        event->ignore();
        return;
    }
    event->accept();
    reject();
}

bool CredentialsPage::confirmLeavingSetup() {
    const Message question{catalogText(Text::ExitSetupPrompt), catalogText(Text::Warning),
                           MessageButtons::OkCancel, MessageIcon::None};
    return dialogs().showMessage(question) == MessageAnswer::Ok;
}

} // namespace tarvex
