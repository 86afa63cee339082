#include "pages/PageFrame.h"

#include "artwork/Artwork.h"
#include "pages/PageDesign.h"
#include "pages/PageFlow.h"
#include "texts/TextCatalog.h"

#include <QLabel>

namespace tarvex {

template <typename Window>
PageFrame<Window>::PageFrame(PageFlow& flow, QWidget* parent, Qt::WindowFlags flags,
                             const QString& name, const QString& caption, QSize size)
    : Window(parent, flags), flow_(flow) {
    this->setObjectName(name);
    // For a step page, kept here for the window that shows it.
    this->setWindowTitle(caption);
    this->setWindowIcon(programIcon());
    this->setFixedSize(size);
}

template <typename Window> PageSettings& PageFrame<Window>::settings() const {
    return flow_.settings();
}

template <typename Window> Dialogs& PageFrame<Window>::dialogs() const {
    return flow_.dialogs();
}

template <typename Window> QString PageFrame<Window>::catalogText(int n) const {
    return CatalogText(settings().TextBase, n);
}

template <typename Window> void PageFrame<Window>::setDefaultButton(QPushButton* button) {
    keys_.setDefaultButton(button);
}

template <typename Window> void PageFrame<Window>::setCancelButton(QPushButton* button) {
    keys_.setCancelButton(button);
}

template <typename Window> void PageFrame<Window>::paintBackground(ColourNumber colour) {
    design::paintWindow(this, colour);
}

template <typename Window> void PageFrame<Window>::showVersion(QLabel* label) {
    design::colour(label, settings().LabelBackColor, settings().LabelForeColor);
    label->setText(catalogText(Text::Version));
}

template <typename Window> void PageFrame<Window>::keyPressEvent(QKeyEvent* event) {
    if (!keys_.keyPress(event)) {
        Window::keyPressEvent(event);
    }
}

template class PageFrame<QWidget>;
template class PageFrame<QDialog>;

} // namespace tarvex
