#pragma once

#include "pages/ButtonKeys.h"
#include "pages/PageLine.h"
#include "pages/PageSettings.h"

#include <QWidget>

class QPushButton;

namespace tarvex {

class PageFlow;

// A page of the wizard's line of step pages, shown in the line's one window (PageWindow), which
// takes the page's caption and size. The constructor builds the page from its design
// (controls, positions, fonts, focus order); pageLoaded then colours it from the look settings
// and fills it from the catalog. A page is built afresh on every visit.
class StepPage : public QWidget {
    Q_OBJECT
public:
    StepPage(PageFlow& flow, PageId page);

    virtual void pageLoaded() = 0;

    [[nodiscard]] PageId pageId() const { return page_; }
    [[nodiscard]] QPushButton* defaultButton() const { return keys_.defaultButton(); }
    [[nodiscard]] QPushButton* cancelButton() const { return keys_.cancelButton(); }

protected:
    [[nodiscard]] PageFlow& flow() const { return flow_; }
    [[nodiscard]] PageSettings& settings() const;
    // Text TextBase + n of the catalog.
    [[nodiscard]] QString catalogText(int n) const;

    // Enter presses the default button, Esc the cancel button.
    void setDefaultButton(QPushButton* button);
    void setCancelButton(QPushButton* button);
    void paintBackground(ColourNumber colour);

    void keyPressEvent(QKeyEvent* event) override;

private:
    PageFlow& flow_;
    PageId page_;
    ButtonKeys keys_;
};

} // namespace tarvex
