#include "run/frmMain2.h"

#include "modules/Twips.h"
#include "pages/PageDesign.h"
#include "pages/PageFlow.h"
#include "pages/PictureBox.h"
#include "resources/TextCatalog.h"

#include <QLabel>
#include <QPushButton>

namespace tarvex {
namespace {

PictureBox* statusPicture(QWidget* page, int index, int topTwips) {
    auto* picture = new PictureBox(page);
    picture->setObjectName(QStringLiteral("pic%1").arg(index));
    picture->setGeometry(twipsRect(240, topTwips, 735, 735));
    return picture;
}

QLabel* stepLine(QWidget* page, int index, int topTwips, int widthTwips) {
    return design::label(page, QStringLiteral("Label%1_1").arg(index),
                         twipsRect(1440, topTwips, widthTwips, 975), design::pageTextFont());
}

} // namespace

frmMain2::frmMain2(PageFlow& flow)
    : StepPage(flow, PageId::frmMain2), pic1(statusPicture(this, 1, 360)),
      pic2(statusPicture(this, 2, 1800)), pic3(statusPicture(this, 3, 3240)),
      pic4(statusPicture(this, 4, 4680)), Label1_1(stepLine(this, 1, 600, 7815)),
      Label2_1(stepLine(this, 2, 2040, 7935)), Label3_1(stepLine(this, 3, 3480, 7935)),
      Label4_1(stepLine(this, 4, 4920, 8055)),
      Label5(design::label(this, QStringLiteral("Label5"), twipsRect(120, 6240, 1815, 375),
                           design::pageTextFont())),
      lblRun(design::label(this, QStringLiteral("lblRun"), twipsRect(2040, 6240, 7335, 975),
                           design::pageTextFont())),
      cmdPrevious(design::commandButton(this, "cmdPrevious", 6960)),
      cmdExit(design::commandButton(this, "cmdExit", 8400)),
      lblVersion(design::versionLabel(this)) {
    design::focusOrder({cmdPrevious, cmdExit});
    // No Next here: the run moves on by itself, so Enter goes to Previous.
    setDefaultButton(cmdPrevious);
    setCancelButton(cmdExit);
    connect(cmdPrevious, &QPushButton::clicked, this, &frmMain2::cmdPrevious_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmMain2::cmdExit_Click);
}

void frmMain2::Form_Load() {
    globals().clearDeviceTable();
    const WizardGlobals& look = globals();
    paintBackground(look.PageBackColor);
    for (PictureBox* picture : {pic1, pic2, pic3, pic4}) {
        design::colour(picture, look.PageBackColor, look.LabelForeColor);
    }
    for (QLabel* label : {Label1_1, Label2_1, Label3_1, Label4_1, Label5, lblVersion}) {
        design::colour(label, look.LabelBackColor, look.LabelForeColor);
    }
    design::colour(lblRun, look.TextBackColor, look.LabelForeColor);
    pic1->setPicture(104);
    globals().SelectedDevice = 0;
    Label1_1->setText(catalogText(Text::StepScan));
    Label2_1->setText(catalogText(Text::StepReach));
    Label3_1->setText(catalogText(Text::StepConfigure));
    Label4_1->setText(catalogText(Text::StepShortcuts));
    Label5->setText(catalogText(Text::RunningStatus));
    cmdPrevious->setText(catalogText(Text::Previous));
    cmdExit->setText(catalogText(Text::Exit));
    lblVersion->setText(catalogText(Text::Version));
    lblRun->clear();
}

void frmMain2::cmdPrevious_Click() {
    globals().clearDeviceTable();
    flow().ShowPage(PageId::frmMain0);
}

void frmMain2::cmdExit_Click() {
    flow().ConfirmExit();
}

} // namespace tarvex
