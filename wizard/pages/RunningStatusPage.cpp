#include "pages/RunningStatusPage.h"

#include "pages/PageDesign.h"
#include "pages/PageFlow.h"
#include "pages/PictureBox.h"
#include "pages/Twips.h"
#include "run/SetupRun.h"
#include "texts/AddedTexts.h"
#include "texts/TextCatalog.h"

#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

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

RunningStatusPage::RunningStatusPage(PageFlow& flow, RunServices& services)
    : StepPage(flow, PageId::RunningStatusPage), pic1(statusPicture(this, 1, 360)),
      pic2(statusPicture(this, 2, 1800)), pic3(statusPicture(this, 3, 3240)),
      pic4(statusPicture(this, 4, 4680)), Label1_1(stepLine(this, 1, 600, 7815)),
      Label2_1(stepLine(this, 2, 2040, 7935)), Label3_1(stepLine(this, 3, 3480, 7935)),
      Label4_1(stepLine(this, 4, 4920, 8055)),
      Label5(design::label(this, QStringLiteral("Label5"), twipsRect(120, 6240, 1815, 375),
                           design::pageTextFont())),
      lblRun(design::label(this, QStringLiteral("lblRun"), twipsRect(2040, 6240, 7335, 975),
                           design::pageTextFont())),
      previousButton(design::commandButton(this, "previousButton", 6960)),
      exitButton(design::commandButton(this, "exitButton", 8400)),
      lblVersion(design::versionLabel(this)), modals_(this, flow) {
    design::focusOrder({previousButton, exitButton});
    // No Next here: the run moves on by itself, so Enter goes to Previous.
    setDefaultButton(previousButton);
    setCancelButton(exitButton);
    for (int step = 1; step <= 4; ++step) {
        setStepPicture(step, StatusPicture::None);
    }
    connect(previousButton, &QPushButton::clicked, this, &RunningStatusPage::previousClicked);
    connect(exitButton, &QPushButton::clicked, this, &RunningStatusPage::exitClicked);
    run_ = std::make_unique<SetupRun>(settings().TextBase, flow.dialogs(), *this, modals_, *this,
                                      timers_, services);
}

RunningStatusPage::~RunningStatusPage() = default;

void RunningStatusPage::pageLoaded() {
    run_->pageLoaded();
}

void RunningStatusPage::applyLookSettings() {
    const PageSettings& look = settings();
    paintBackground(look.PageBackColor);
    for (PictureBox* picture : {pic1, pic2, pic3, pic4}) {
        design::colour(picture, look.PageBackColor, look.LabelForeColor);
    }
    for (QLabel* label : {Label1_1, Label2_1, Label3_1, Label4_1, Label5, lblVersion}) {
        design::colour(label, look.LabelBackColor, look.LabelForeColor);
    }
    design::colour(lblRun, look.TextBackColor, look.LabelForeColor);
}

void RunningStatusPage::setCaptions() {
    Label1_1->setText(catalogText(Text::StepScan));
    Label2_1->setText(catalogText(Text::StepReach));
    Label3_1->setText(catalogText(Text::StepConfigure));
    Label4_1->setText(catalogText(Text::StepShortcuts));
    // A screen reader names each step picture after its step line.
    const QLabel* const lines[] = {Label1_1, Label2_1, Label3_1, Label4_1};
    PictureBox* const boxes[] = {pic1, pic2, pic3, pic4};
    for (int i = 0; i < 4; ++i) {
        boxes[i]->setAccessibleName(lines[i]->text());
    }
    Label5->setText(catalogText(Text::RunningStatus));
    previousButton->setText(catalogText(Text::Previous));
    exitButton->setText(catalogText(Text::Exit));
    lblVersion->setText(catalogText(Text::Version));
}

void RunningStatusPage::setStatusText(const QString& text) {
    lblRun->setText(text);
}

void RunningStatusPage::setStepPicture(int step, StatusPicture picture) {
    PictureBox* const boxes[] = {pic1, pic2, pic3, pic4};
    if (step < 1 || step > 4) {
        return;
    }
    PictureBox* box = boxes[step - 1];
    // The description tells a screen reader what the picture shows of the step's progress.
    AddedText state = AddedText::StepNotStarted;
    switch (picture) {
    case StatusPicture::None:
        box->setPicture(QImage());
        break;
    case StatusPicture::InProgress:
        box->setPicture(StepPicture::UnderWay);
        state = AddedText::StepUnderWay;
        break;
    case StatusPicture::Done:
        box->setPicture(StepPicture::Done);
        state = AddedText::StepDone;
        break;
    case StatusPicture::Failed:
        box->setPicture(StepPicture::Failed);
        state = AddedText::StepFailed;
        break;
    }
    box->setAccessibleDescription(AddedCatalogText(settings().TextBase, state));
}

void RunningStatusPage::setButtonsEnabled(bool enabled) {
    previousButton->setEnabled(enabled);
    exitButton->setEnabled(enabled);
    // Disabled, the buttons gave up the focus and nothing else on the page takes it: back in
    // use, the default button takes it again, so that Enter and Esc reach the page's buttons.
    // (Under a box drawn inside the window the box keeps it and hands it on when it closes.)
    const QWidget* focus = window()->focusWidget();
    if (enabled &&
        (focus == nullptr || focus == this || focus == window() || !focus->isEnabled())) {
        previousButton->setFocus(Qt::OtherFocusReason);
    }
}

void RunningStatusPage::afterEventsRun(std::function<void()> next) {
    // A zero timer rather than a queued call: queued calls go before the repaints, which wait at
    // low priority, and a timer fires only once the loop has gone through them. As a child of
    // this page it goes with it.
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, [timer, next = std::move(next)] {
        timer->deleteLater();
        next();
    });
    timer->start(0);
}

void RunningStatusPage::showSetupModePage() {
    flow().ShowPage(PageId::SetupModePage);
}

void RunningStatusPage::confirmExit(std::function<void(bool programEnded)> done) {
    flow().ConfirmExit(std::move(done));
}

void RunningStatusPage::endProgram() {
    flow().endProgram();
}

bool RunningStatusPage::programEnded() const {
    // A page that takes Step 4's place hides it first, which stops the run (hideEvent).
    return flow().programEnded();
}

void RunningStatusPage::hideEvent(QHideEvent* event) {
    // The flow hides a page it unloads (the window's close box included); a window that is only
    // minimised keeps running.
    if (!event->spontaneous()) {
        run_->stop();
    }
    StepPage::hideEvent(event);
}

void RunningStatusPage::previousClicked() {
    run_->previousClicked();
}

void RunningStatusPage::exitClicked() {
    run_->exitClicked();
}

} // namespace tarvex
