#include "pages/frmMain0.h"

#include "modules/Twips.h"
#include "pages/PageDesign.h"
#include "pages/PageFlow.h"
#include "resources/TextCatalog.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace tarvex {

frmMain0::frmMain0(PageFlow& flow)
    : StepPage(flow, PageId::frmMain0), Option1(new QButtonGroup(this)),
      Option1_0(new QRadioButton(this)),
      Label1(design::label(this, QStringLiteral("Label1"), twipsRect(720, 2880, 8415, 1215),
                           design::pageTextFont())),
      cmdNext(design::commandButton(this, "cmdNext", 6960)),
      cmdPrevious(design::commandButton(this, "cmdPrevious", 5520)),
      cmdExit(design::commandButton(this, "cmdExit", 8400)),
      lblVersion(design::versionLabel(this)) {
    Option1_0->setObjectName(QStringLiteral("Option1(0)"));
    Option1_0->setGeometry(twipsRect(480, 2280, 5055, 375));
    Option1_0->setFont(design::font(QStringLiteral("MS Sans Serif"), 12, true));
    Option1->addButton(Option1_0, 0);
    design::focusOrder({Option1_0, cmdNext, cmdPrevious, cmdExit});
    setDefaultButton(cmdNext);
    setCancelButton(cmdExit);
    connect(cmdNext, &QPushButton::clicked, this, &frmMain0::cmdNext_Click);
    connect(cmdPrevious, &QPushButton::clicked, this, &frmMain0::cmdPrevious_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmMain0::cmdExit_Click);
}

void frmMain0::Form_Load() {
    Option1_0->setChecked(true);
    paintBackground(globals().PageBackColor);
    // The choice and its explanation are always white, whatever the look settings say.
    design::colour(Option1_0, globals().OptionBackColor, kWhite);
    design::colour(Label1, globals().LabelBackColor, kWhite);
    Option1_0->setText(catalogText(Text::ExpressSetup));
    Label1->setText(catalogText(Text::ScanExplanation));
    cmdNext->setText(catalogText(Text::Next));
    cmdPrevious->setText(catalogText(Text::Previous));
    cmdExit->setText(catalogText(Text::Exit));
    design::colour(lblVersion, globals().LabelBackColor, globals().LabelForeColor);
    lblVersion->setText(catalogText(Text::Version));
}

void frmMain0::cmdNext_Click() {
    // Express setup is the only mode and it is always selected.
    flow().ShowPage(PageId::frmMain2);
}

void frmMain0::cmdPrevious_Click() {
    flow().ShowPage(PageId::frmMain);
}

void frmMain0::cmdExit_Click() {
    flow().ConfirmExit();
}

} // namespace tarvex
