#include "pages/frmMain.h"

#include "pages/PageDesign.h"
#include "pages/PageFlow.h"
#include "pages/PictureBox.h"
#include "resources/AddedTexts.h"
#include "resources/TextCatalog.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tarvex {

frmMain::frmMain(PageFlow& flow)
    : StepPage(flow, PageId::frmMain), pic1(design::pagePicture(this)),
      txt1(design::pageText(this)), cmdPrevious(design::commandButton(this, "cmdPrevious", 5640)),
      cmdNext(design::commandButton(this, "cmdNext", 7080)),
      cmdExit(design::commandButton(this, "cmdExit", 8520)),
      lblVersion(design::versionLabel(this)) {
    design::focusOrder({txt1, pic1, cmdNext, cmdExit, cmdPrevious});
    setDefaultButton(cmdNext);
    setCancelButton(cmdExit);
    connect(cmdNext, &QPushButton::clicked, this, &frmMain::cmdNext_Click);
    connect(cmdPrevious, &QPushButton::clicked, this, &frmMain::cmdPrevious_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmMain::cmdExit_Click);
}

void frmMain::Form_Load() {
    paintBackground(globals().PageBackColor);
    design::colour(txt1, globals().TextBackColor, globals().TextForeColor);
    cmdNext->setText(catalogText(Text::Next));
    cmdPrevious->setText(catalogText(Text::Previous));
    cmdExit->setText(catalogText(Text::Exit));
    txt1->setPlainText(catalogText(Text::Cabling));
    pic1->setPicture(103);
    pic1->setAccessibleName(AddedCatalogText(globals().TextBase, AddedText::PictureCabling));
    design::colour(lblVersion, globals().LabelBackColor, globals().LabelForeColor);
    lblVersion->setText(catalogText(Text::Version));
}

void frmMain::cmdNext_Click() {
    flow().ShowPage(PageId::frmMain0);
}

void frmMain::cmdPrevious_Click() {
    flow().ShowPage(PageId::frmPre2);
}

void frmMain::cmdExit_Click() {
    flow().ConfirmExit();
}

} // namespace tarvex
