#include "pages/StepPage.h"

#include "artwork/Artwork.h"
#include "pages/PageDesign.h"
#include "pages/PageFlow.h"
#include "pages/PageWindow.h"
#include "texts/TextCatalog.h"

#include <QKeyEvent>

namespace tarvex {

StepPage::StepPage(PageFlow& flow, PageId page)
    : QWidget(&flow.window()), flow_(flow), page_(page) {
    setObjectName(pageWindowName(page));
    // Kept here for the window that shows the page.
    setWindowTitle(pageCaption(page));
    setWindowIcon(programIcon());
    setFixedSize(design::stepPageSize());
}

PageSettings& StepPage::settings() const {
    return flow_.settings();
}

QString StepPage::catalogText(int n) const {
    return CatalogText(settings().TextBase, n);
}

void StepPage::setDefaultButton(QPushButton* button) {
    keys_.setDefaultButton(button);
}

void StepPage::setCancelButton(QPushButton* button) {
    keys_.setCancelButton(button);
}

void StepPage::paintBackground(ColourNumber colour) {
    design::paintWindow(this, colour);
}

void StepPage::keyPressEvent(QKeyEvent* event) {
    if (!keys_.keyPress(event)) {
        QWidget::keyPressEvent(event);
    }
}

} // namespace tarvex
