#include "pages/StepPage.h"

#include "pages/PageDesign.h"
#include "pages/PageFlow.h"
#include "resources/Artwork.h"
#include "resources/TextCatalog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

namespace tarvex {

StepPage::StepPage(PageFlow& flow, PageId page) : flow_(flow), page_(page) {
    setObjectName(pageWindowName(page));
    setWindowTitle(pageCaption(page));
    setWindowIcon(programIcon());
    // No maximize box: nothing on a page moves or grows with its window.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(design::stepPageSize());
}

WizardGlobals& StepPage::globals() const {
    return flow_.globals();
}

QString StepPage::catalogText(int n) const {
    return CatalogText(globals().TextBase, n);
}

void StepPage::setDefaultButton(QPushButton* button) {
    if (defaultButton_ != nullptr) {
        defaultButton_->setDefault(false);
    }
    defaultButton_ = button;
    button->setDefault(true);
}

void StepPage::setCancelButton(QPushButton* button) {
    cancelButton_ = button;
}

void StepPage::paintBackground(ColourNumber colour) {
    design::paintWindow(this, colour);
}

void StepPage::keyPressEvent(QKeyEvent* event) {
    QPushButton* target = design::buttonForKey(event, defaultButton_, cancelButton_);
    if (target == nullptr) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    target->click();
}

void StepPage::closeEvent(QCloseEvent* event) {
    event->accept();
    flow_.pageClosedByUser(this);
}

} // namespace tarvex
