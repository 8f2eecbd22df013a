// TIWTabControl and TIWTabPage: a region holding pages, one shown at a time under a strip of
// tabs; the client's tab script switches pages and posts the chosen index back.
#pragma once

#include <vector>

#include "forms/Region.h"

namespace qx {

class TIWTabPage;

class TIWTabControl : public TIWCustomRegion {
  QX_CLASS(TIWTabControl, TIWCustomRegion)

 public:
  TIWTabControl();

  // The TabOrder of the page shown.
  int ActivePage() const noexcept { return activePage_; }
  void SetActivePage(int page) { SetProperty(activePage_, page); }
  TIWFont& ActiveTabFont() noexcept { return activeTabFont_; }
  TColor ActiveTabColor() const noexcept { return activeTabColor_; }
  void SetActiveTabColor(TColor color) { SetProperty(activeTabColor_, color); }
  TIWFont& InactiveTabFont() noexcept { return inactiveTabFont_; }
  TColor InactiveTabColor() const noexcept { return inactiveTabColor_; }
  void SetInactiveTabColor(TColor color) { SetProperty(inactiveTabColor_, color); }
  // Runs when a change of tab in the browser posted the page (the client then posts at once).
  const TNotifyEvent& OnChange() const noexcept { return onChange_; }
  void SetOnChange(TNotifyEvent handler) { onChange_ = std::move(handler); }

  // The visible pages in tab order: the tabs the browser shows, whose positions it posts.
  std::vector<TIWTabPage*> Pages() const;

  void SetDefaults() override;
  // The region's element with the tab strip and the form holding the posted index; the
  // client script, its declarations and the call that starts it.
  std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override;
  // The index travels in ElementName + "_input" (letter case ignored).
  bool TakesInput() const override { return true; }
  void RegisterFields(TStringList& fields) const override;
  bool OwnsField(std::string_view name) const override;
  // An index into Pages(): that page becomes the active one. A malformed number fails with
  // EConvertError, an index outside the pages with EListError; nothing changes then.
  void ApplySubmittedValue(const std::string& value) override;
  bool CanSubmit() const override { return static_cast<bool>(onChange_); }
  // OnChange.
  void RunAction(const std::string& parameter) override;

 private:
  // The position of the active page among Pages(), 0 when no page has its tab order.
  int ActiveIndex(const std::vector<TIWTabPage*>& pages) const;
  // The style of a tab: its font's CSS, colour, pointer, height and padding.
  std::string TabStyle(const TIWFont& font, TColor color, TIWBrowser browser) const;

  int activePage_ = 0;
  TIWFont activeTabFont_;
  TColor activeTabColor_ = clNone;
  TIWFont inactiveTabFont_;
  TColor inactiveTabColor_ = clNone;
  TNotifyEvent onChange_;
};

class TIWTabPage : public TIWCustomRegion {
  QX_CLASS(TIWTabPage, TIWCustomRegion)

 public:
  TIWTabPage();

  // The tab's text, written as it is (markup allowed).
  const std::string& Title() const noexcept { return title_; }
  void SetTitle(std::string_view title) { SetProperty(title_, title); }

  void SetDefaults() override;
  // Placed in the tab control above the strip, with its own background.
  std::string StyleText(TIWComponent40Context& context) override;

 private:
  std::string title_;
};

}  // namespace qx
