#include "pages/SetupModePage.h"

#include "pages/PageDesign.h"
#include "pages/PageFlow.h"
#include "pages/Twips.h"
#include "texts/TextCatalog.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace tarvex {

SetupModePage::SetupModePage(PageFlow& flow)
    : StepPage(flow, PageId::SetupModePage), Option1(new QButtonGroup(this)),
      Option1_0(new QRadioButton(this)),
      Label1(design::label(this, QStringLiteral("Label1"), twipsRect(720, 2880, 8415, 1215),
                           design::pageTextFont())),
      nextButton(design::commandButton(this, "nextButton", 6960)),
      previousButton(design::commandButton(this, "previousButton", 5520)),
      exitButton(design::commandButton(this, "exitButton", 8400)),
      lblVersion(design::versionLabel(this)) {
    Option1_0->setObjectName(QStringLiteral("Option1(0)"));
    Option1_0->setGeometry(twipsRect(480, 2280, 5055, 375));
    Option1_0->setFont(design::font(QStringLiteral("MS Sans Serif"), 12, true));
    Option1->addButton(Option1_0, 0);
    design::passEnterToPage(Option1_0);
    design::focusOrder({Option1_0, nextButton, previousButton, exitButton});
    setDefaultButton(nextButton);
    setCancelButton(exitButton);
    connect(nextButton, &QPushButton::clicked, this, &SetupModePage::nextClicked);
    connect(previousButton, &QPushButton::clicked, this, &SetupModePage::previousClicked);
    connect(exitButton, &QPushButton::clicked, this, &SetupModePage::exitClicked);
}

void SetupModePage::pageLoaded() {
    Option1_0->setChecked(true);
    paintBackground(settings().PageBackColor);
    // The choice and its explanation are always white, whatever the look settings say.
    design::colour(Option1_0, settings().OptionBackColor, kWhite);
    design::colour(Label1, settings().LabelBackColor, kWhite);
    Option1_0->setText(catalogText(Text::ExpressSetup));
    Label1->setText(catalogText(Text::ScanExplanation));
    nextButton->setText(catalogText(Text::Next));
    previousButton->setText(catalogText(Text::Previous));
    exitButton->setText(catalogText(Text::Exit));
    showVersion(lblVersion);
}

void SetupModePage::nextClicked() {
    // Express setup is the only mode and it is always selected.
    flow().ShowPage(PageId::RunningStatusPage);
}

void SetupModePage::previousClicked() {
    flow().ShowPage(PageId::CablePage);
}

void SetupModePage::exitClicked() {
    flow().ConfirmExit();
}

} // namespace tarvex
