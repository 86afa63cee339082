#include "pages/WelcomePage.h"

#include "pages/LookSettings.h"
#include "pages/PageDesign.h"
#include "pages/PageFlow.h"
#include "pages/PictureBox.h"
#include "texts/AddedTexts.h"
#include "texts/TextCatalog.h"
#include "texts/UserLanguage.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tarvex {
namespace {

// The socket component the running-status page hosts needed registering with the system on
// every start of the original platform. Sockets here need no registration, so this step only
// keeps its place in the welcome page's load order.
void registerSocketComponent() {}

} // namespace

WelcomePage::WelcomePage(PageFlow& flow)
    : StepPage(flow, PageId::WelcomePage), txt1(design::pageText(this)),
      pic1(design::pagePicture(this)), nextButton(design::commandButton(this, "nextButton", 7080)),
      exitButton(design::commandButton(this, "exitButton", 8520)),
      lblVersion(design::versionLabel(this)) {
    txt1->raise();
    design::focusOrder({txt1, pic1, nextButton, exitButton});
    setCancelButton(exitButton);
    connect(nextButton, &QPushButton::clicked, this, &WelcomePage::nextClicked);
    connect(exitButton, &QPushButton::clicked, this, &WelcomePage::exitClicked);
}

void WelcomePage::pageLoaded() {
    assignLookSettings(settings(), flow().editionTextBase());
    paintBackground(settings().PageBackColor);
    design::colour(txt1, settings().TextBackColor, settings().TextForeColor);
    showVersion(lblVersion);
    txt1->setPlainText(catalogText(Text::Welcome));
    txt1->setAccessibleName(AddedCatalogText(settings().TextBase, AddedText::InstructionsName));
    nextButton->setText(catalogText(Text::Next));
    exitButton->setText(catalogText(Text::Exit));
    pic1->setPicture(StepPicture::Welcome, TextLanguage(settings().TextBase));
    pic1->setAccessibleName(AddedCatalogText(settings().TextBase, AddedText::PictureWelcome));
    setDefaultButton(nextButton);
    registerSocketComponent();
}

void WelcomePage::nextClicked() {
    flow().ShowPage(PageId::PowerPage);
}

void WelcomePage::exitClicked() {
    flow().ConfirmExit();
}

} // namespace tarvex
