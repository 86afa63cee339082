#pragma once

#include <QString>
#include <array>

namespace tarvex {

// The step pages of the wizard's line, in their order on screen.
enum class PageId { WelcomePage, PowerPage, CablePage, SetupModePage, RunningStatusPage };

inline constexpr std::array<PageId, 5> kPageLine{PageId::WelcomePage, PageId::PowerPage,
                                                 PageId::CablePage, PageId::SetupModePage,
                                                 PageId::RunningStatusPage};

// The window name (also the window's object name) of a step page.
[[nodiscard]] QString pageWindowName(PageId page);

// The fixed English window caption of a step page; captions never come from the catalog.
[[nodiscard]] QString pageCaption(PageId page);

} // namespace tarvex
