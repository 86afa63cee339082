#pragma once

#include "pages/ButtonKeys.h"
#include "pages/PageSettings.h"

#include <QDialog>

class QPushButton;

namespace tarvex {

class Dialogs;
class PageFlow;

// A page that Step 4 shows modally over itself. Like a step page it is built from its design
// in the constructor and filled by pageLoaded; Enter presses the default button and Esc the
// cancel button, so that Esc runs the page's own Exit rather than closing the dialog.
class ModalPage : public QDialog {
    Q_OBJECT
public:
    // clientTwips: the client area's width and height in twips.
    ModalPage(PageFlow& flow, QWidget* owner, const QString& name, const QString& caption,
              QSize clientTwips);

    virtual void pageLoaded() = 0;

    [[nodiscard]] QPushButton* defaultButton() const { return keys_.defaultButton(); }
    [[nodiscard]] QPushButton* cancelButton() const { return keys_.cancelButton(); }

protected:
    [[nodiscard]] PageFlow& flow() const { return flow_; }
    [[nodiscard]] PageSettings& settings() const;
    [[nodiscard]] Dialogs& dialogs() const;
    [[nodiscard]] QString catalogText(int n) const;

    void setDefaultButton(QPushButton* button);
    void setCancelButton(QPushButton* button);
    void paintBackground(ColourNumber colour);

    void keyPressEvent(QKeyEvent* event) override;

private:
    PageFlow& flow_;
    ButtonKeys keys_;
};

} // namespace tarvex
