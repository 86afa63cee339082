#include "pages/CablePage.h"

#include "pages/PageDesign.h"
#include "pages/PageFlow.h"
#include "pages/PictureBox.h"
#include "texts/AddedTexts.h"
#include "texts/TextCatalog.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tarvex {

CablePage::CablePage(PageFlow& flow)
    : StepPage(flow, PageId::CablePage), pic1(design::pagePicture(this)),
      txt1(design::pageText(this)),
      previousButton(design::commandButton(this, "previousButton", 5640)),
      nextButton(design::commandButton(this, "nextButton", 7080)),
      exitButton(design::commandButton(this, "exitButton", 8520)),
      lblVersion(design::versionLabel(this)) {
    design::focusOrder({txt1, pic1, nextButton, exitButton, previousButton});
    setDefaultButton(nextButton);
    setCancelButton(exitButton);
    connect(nextButton, &QPushButton::clicked, this, &CablePage::nextClicked);
    connect(previousButton, &QPushButton::clicked, this, &CablePage::previousClicked);
    connect(exitButton, &QPushButton::clicked, this, &CablePage::exitClicked);
}

void CablePage::pageLoaded() {
    paintBackground(settings().PageBackColor);
    design::colour(txt1, settings().TextBackColor, settings().TextForeColor);
    nextButton->setText(catalogText(Text::Next));
    previousButton->setText(catalogText(Text::Previous));
    exitButton->setText(catalogText(Text::Exit));
    txt1->setPlainText(catalogText(Text::Cabling));
    pic1->setPicture(103);
    pic1->setAccessibleName(AddedCatalogText(settings().TextBase, AddedText::PictureCabling));
    design::colour(lblVersion, settings().LabelBackColor, settings().LabelForeColor);
    lblVersion->setText(catalogText(Text::Version));
}

void CablePage::nextClicked() {
    flow().ShowPage(PageId::SetupModePage);
}

void CablePage::previousClicked() {
    flow().ShowPage(PageId::PowerPage);
}

void CablePage::exitClicked() {
    flow().ConfirmExit();
}

} // namespace tarvex
