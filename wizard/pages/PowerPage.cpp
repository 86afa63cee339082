#include "pages/PowerPage.h"

#include "pages/PageDesign.h"
#include "pages/PageFlow.h"
#include "pages/PictureBox.h"
#include "texts/AddedTexts.h"
#include "texts/TextCatalog.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tarvex {

PowerPage::PowerPage(PageFlow& flow)
    : StepPage(flow, PageId::PowerPage), pic1(design::pagePicture(this)),
      txt1(design::pageText(this)),
      previousButton(design::commandButton(this, "previousButton", 5640)),
      nextButton(design::commandButton(this, "nextButton", 7080)),
      exitButton(design::commandButton(this, "exitButton", 8520)),
      lblVersion(design::versionLabel(this)) {
    design::focusOrder({pic1, txt1, previousButton, nextButton, exitButton});
    setDefaultButton(nextButton);
    setCancelButton(exitButton);
    connect(nextButton, &QPushButton::clicked, this, &PowerPage::nextClicked);
    connect(previousButton, &QPushButton::clicked, this, &PowerPage::previousClicked);
    connect(exitButton, &QPushButton::clicked, this, &PowerPage::exitClicked);
}

void PowerPage::pageLoaded() {
    paintBackground(settings().PageBackColor);
    design::colour(txt1, settings().TextBackColor, settings().TextForeColor);
    pic1->setPicture(102);
    pic1->setAccessibleName(AddedCatalogText(settings().TextBase, AddedText::PicturePower));
    txt1->setPlainText(catalogText(Text::PowerUp));
    design::colour(lblVersion, settings().LabelBackColor, settings().LabelForeColor);
    lblVersion->setText(catalogText(Text::Version));
    nextButton->setText(catalogText(Text::Next));
    previousButton->setText(catalogText(Text::Previous));
    exitButton->setText(catalogText(Text::Exit));
}

void PowerPage::nextClicked() {
    flow().ShowPage(PageId::CablePage);
}

void PowerPage::previousClicked() {
    flow().ShowPage(PageId::WelcomePage);
}

void PowerPage::exitClicked() {
    flow().ConfirmExit();
}

} // namespace tarvex
