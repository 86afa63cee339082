#include "pages/frmPre1.h"

#include "modules/LookSettings.h"
#include "pages/PageDesign.h"
#include "pages/PageFlow.h"
#include "pages/PictureBox.h"
#include "resources/AddedTexts.h"
#include "resources/TextCatalog.h"

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

frmPre1::frmPre1(PageFlow& flow)
    : StepPage(flow, PageId::frmPre1), txt1(design::pageText(this)),
      pic1(design::pagePicture(this)), cmdNext(design::commandButton(this, "cmdNext", 7080)),
      cmdExit(design::commandButton(this, "cmdExit", 8520)),
      lblVersion(design::versionLabel(this)) {
    txt1->raise();
    design::focusOrder({txt1, pic1, cmdNext, cmdExit});
    setCancelButton(cmdExit);
    connect(cmdNext, &QPushButton::clicked, this, &frmPre1::cmdNext_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmPre1::cmdExit_Click);
}

void frmPre1::Form_Load() {
    assignLookSettings(globals(), flow().editionTextBase());
    paintBackground(globals().PageBackColor);
    design::colour(txt1, globals().TextBackColor, globals().TextForeColor);
    design::colour(lblVersion, globals().LabelBackColor, globals().LabelForeColor);
    lblVersion->setText(catalogText(Text::Version));
    txt1->setPlainText(catalogText(Text::Welcome));
    cmdNext->setText(catalogText(Text::Next));
    cmdExit->setText(catalogText(Text::Exit));
    pic1->setPicture(101);
    pic1->setAccessibleName(AddedCatalogText(globals().TextBase, AddedText::PictureWelcome));
    setDefaultButton(cmdNext);
    registerSocketComponent();
}

void frmPre1::cmdNext_Click() {
    flow().ShowPage(PageId::frmPre2);
}

void frmPre1::cmdExit_Click() {
    flow().ConfirmExit();
}

} // namespace tarvex
