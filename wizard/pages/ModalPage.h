#pragma once

#include "pages/PageFrame.h"

#include <QDialog>

namespace tarvex {

class PageFlow;

// A page that Step 4 shows modally over itself. Like a step page it is built from its design
// in the constructor and filled by pageLoaded; Enter presses the default button and Esc the
// cancel button, so that Esc runs the page's own Exit rather than closing the dialog.
class ModalPage : public PageFrame<QDialog> {
    Q_OBJECT
public:
    // clientTwips: the client area's width and height in twips.
    ModalPage(PageFlow& flow, QWidget* owner, const QString& name, const QString& caption,
              QSize clientTwips);

    virtual void pageLoaded() = 0;
};

} // namespace tarvex
