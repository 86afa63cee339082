#include "pages/frmPre2.h"

#include "pages/PageDesign.h"
#include "pages/PageFlow.h"
#include "pages/PictureBox.h"
#include "resources/AddedTexts.h"
#include "resources/TextCatalog.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tarvex {

frmPre2::frmPre2(PageFlow& flow)
    : StepPage(flow, PageId::frmPre2), pic1(design::pagePicture(this)),
      txt1(design::pageText(this)), cmdPrevious(design::commandButton(this, "cmdPrevious", 5640)),
      cmdNext(design::commandButton(this, "cmdNext", 7080)),
      cmdExit(design::commandButton(this, "cmdExit", 8520)),
      lblVersion(design::versionLabel(this)) {
    design::focusOrder({pic1, txt1, cmdPrevious, cmdNext, cmdExit});
    setDefaultButton(cmdNext);
    setCancelButton(cmdExit);
    connect(cmdNext, &QPushButton::clicked, this, &frmPre2::cmdNext_Click);
    connect(cmdPrevious, &QPushButton::clicked, this, &frmPre2::cmdPrevious_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmPre2::cmdExit_Click);
}

void frmPre2::Form_Load() {
    paintBackground(globals().PageBackColor);
    design::colour(txt1, globals().TextBackColor, globals().TextForeColor);
    pic1->setPicture(102);
    pic1->setAccessibleName(AddedCatalogText(globals().TextBase, AddedText::PicturePower));
    txt1->setPlainText(catalogText(Text::PowerUp));
    design::colour(lblVersion, globals().LabelBackColor, globals().LabelForeColor);
    lblVersion->setText(catalogText(Text::Version));
    cmdNext->setText(catalogText(Text::Next));
    cmdPrevious->setText(catalogText(Text::Previous));
    cmdExit->setText(catalogText(Text::Exit));
}

void frmPre2::cmdNext_Click() {
    flow().ShowPage(PageId::frmMain);
}

void frmPre2::cmdPrevious_Click() {
    flow().ShowPage(PageId::frmPre1);
}

void frmPre2::cmdExit_Click() {
    flow().ConfirmExit();
}

} // namespace tarvex
