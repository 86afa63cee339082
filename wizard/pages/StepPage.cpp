#include "pages/StepPage.h"

#include "pages/PageDesign.h"
#include "pages/PageFlow.h"
#include "pages/PageWindow.h"

namespace tarvex {

StepPage::StepPage(PageFlow& flow, PageId page)
    : PageFrame(flow, &flow.window(), {}, pageWindowName(page), pageCaption(page),
                design::stepPageSize()),
      page_(page) {}

} // namespace tarvex
