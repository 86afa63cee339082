#include "pages/InstructionPage.h"

#include "pages/PageDesign.h"
#include "pages/PageFlow.h"
#include "pages/PictureBox.h"
#include "texts/TextCatalog.h"
#include "texts/UserLanguage.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tarvex {

using Control = Instructions::Control;

const Instructions kPowerInstructions{
    PageId::PowerPage,
    Text::PowerUp,
    StepPicture::Power,
    AddedText::PicturePower,
    PageId::WelcomePage,
    PageId::CablePage,
    {Control::Picture, Control::Text, Control::Previous, Control::Next, Control::Exit}};

const Instructions kCableInstructions{
    PageId::CablePage,
    Text::Cabling,
    StepPicture::Cable,
    AddedText::PictureCabling,
    PageId::PowerPage,
    PageId::SetupModePage,
    {Control::Text, Control::Picture, Control::Next, Control::Exit, Control::Previous}};

InstructionPage::InstructionPage(PageFlow& flow, const Instructions& instructions)
    : StepPage(flow, instructions.page), instructions_(instructions),
      pic1(design::pagePicture(this)), txt1(design::pageText(this)),
      previousButton(design::commandButton(this, "previousButton", 5640)),
      nextButton(design::commandButton(this, "nextButton", 7080)),
      exitButton(design::commandButton(this, "exitButton", 8520)),
      lblVersion(design::versionLabel(this)) {
    const auto& order = instructions.tabOrder;
    design::focusOrder({control(order[0]), control(order[1]), control(order[2]), control(order[3]),
                        control(order[4])});
    setDefaultButton(nextButton);
    setCancelButton(exitButton);
    connect(nextButton, &QPushButton::clicked, this, &InstructionPage::nextClicked);
    connect(previousButton, &QPushButton::clicked, this, &InstructionPage::previousClicked);
    connect(exitButton, &QPushButton::clicked, this, &InstructionPage::exitClicked);
}

QWidget* InstructionPage::control(Control which) const {
    switch (which) {
    case Control::Picture:
        return pic1;
    case Control::Text:
        return txt1;
    case Control::Previous:
        return previousButton;
    case Control::Next:
        return nextButton;
    case Control::Exit:
        return exitButton;
    }
    return nullptr;
}

void InstructionPage::pageLoaded() {
    paintBackground(settings().PageBackColor);
    design::colour(txt1, settings().TextBackColor, settings().TextForeColor);
    pic1->setPicture(instructions_.picture, TextLanguage(settings().TextBase));
    pic1->setAccessibleName(AddedCatalogText(settings().TextBase, instructions_.pictureName));
    txt1->setPlainText(catalogText(instructions_.text));
    txt1->setAccessibleName(AddedCatalogText(settings().TextBase, AddedText::InstructionsName));
    showVersion(lblVersion);
    nextButton->setText(catalogText(Text::Next));
    previousButton->setText(catalogText(Text::Previous));
    exitButton->setText(catalogText(Text::Exit));
}

void InstructionPage::nextClicked() {
    flow().ShowPage(instructions_.next);
}

void InstructionPage::previousClicked() {
    flow().ShowPage(instructions_.previous);
}

void InstructionPage::exitClicked() {
    flow().ConfirmExit();
}

} // namespace tarvex
