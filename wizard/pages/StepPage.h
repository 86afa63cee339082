#pragma once

#include "pages/PageFrame.h"
#include "pages/PageLine.h"

#include <QWidget>

namespace tarvex {

class PageFlow;

// A page of the wizard's line of step pages, shown in the line's one window (PageWindow), which
// takes the page's caption and size. The constructor builds the page from its design
// (controls, positions, fonts, focus order); pageLoaded then colours it from the look settings
// and fills it from the catalog. A page is built afresh on every visit.
class StepPage : public PageFrame<QWidget> {
    Q_OBJECT
public:
    StepPage(PageFlow& flow, PageId page);

    virtual void pageLoaded() = 0;

    [[nodiscard]] PageId pageId() const { return page_; }

private:
    PageId page_;
};

} // namespace tarvex
