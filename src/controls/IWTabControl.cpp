// The tab control's pages, markup, scripts and posted index, and the pages' style.
#include "controls/IWTabControl.h"

#include <algorithm>
#include <tuple>

#include "forms/PageContext.h"
#include "forms/RenderContext.h"
#include "forms/TextHelpers.h"
#include "runtime/Strings.h"

namespace qx {

constexpr const char* kTabControlScript = "/js/tabcontrol.js";
constexpr const char* kTabStripStyle = "z-index:1;white-space:nowrap;overflow:hidden;height:20;margin-top: 0;";

// ---- the tab control --------------------------------------------------------------------------

const TClassInfo& TIWTabControl::StaticClassInfo() {
  using T = TIWTabControl;
  static const TClassInfo info = TClassBuilder<T>("TIWTabControl")
                                     .Creatable()
                                     .Property("ActivePage", &T::ActivePage, &T::SetActivePage)
                                     .Property("ActiveTabFont", &T::ActiveTabFont)
                                     .Property("ActiveTabColor", &T::ActiveTabColor, &T::SetActiveTabColor)
                                     .Property("InactiveTabFont", &T::InactiveTabFont)
                                     .Property("InactiveTabColor", &T::InactiveTabColor, &T::SetInactiveTabColor)
                                     .Property("OnChange", &T::OnChange, &T::SetOnChange)
                                     .Build();
  return info;
}

TIWTabControl::TIWTabControl() {
  activeTabFont_.SetOnChange([this] { MarkChanged(); });
  inactiveTabFont_.SetOnChange([this] { MarkChanged(); });
  TIWTabControl::SetDefaults();
}

void TIWTabControl::SetDefaults() {
  TIWCustomRegion::SetDefaults();
  activePage_ = 0;
  activeTabFont_ = TIWFont();
  activeTabFont_.SetColor(clWhite);
  activeTabFont_.SetStyle({fsBold});
  activeTabFont_.SetFontFamily("sans-serif");
  activeTabColor_ = WebColor(0xA9A9A9);
  inactiveTabFont_ = TIWFont();
  inactiveTabFont_.SetColor(clBlack);
  inactiveTabFont_.SetFontFamily("sans-serif");
  inactiveTabColor_ = WebColor(0xD3D3D3);
  SetColor(clSilver);
  BorderOptions().SetStyle(cbsNone);
}

std::vector<TIWTabPage*> TIWTabControl::Pages() const {
  std::vector<TIWTabPage*> pages;
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* page = ClassCast<TIWTabPage>(Controls(i)); page && page->Visible()) pages.push_back(page);
  std::stable_sort(pages.begin(), pages.end(),
                   [](const TIWTabPage* a, const TIWTabPage* b) { return a->TabOrder() < b->TabOrder(); });
  return pages;
}

int TIWTabControl::ActiveIndex(const std::vector<TIWTabPage*>& pages) const {
  for (std::size_t i = 0; i < pages.size(); ++i)
    if (pages[i]->TabOrder() == activePage_) return static_cast<int>(i);
  return 0;
}

std::string TIWTabControl::TabStyle(const TIWFont& font, TColor color, TIWBrowser browser) const {
  return FontCSS(font, browser) + "background-color:" + ColorText(color) + ";cursor: pointer; height: 20px; padding: 3px;";
}

std::unique_ptr<TIWMarkupLanguageTag> TIWTabControl::RenderMarkup(TIWComponent40Context& context) {
  std::unique_ptr<TIWMarkupLanguageTag> region = TIWCustomRegion::RenderMarkup(context);
  TIWPageContext40& page = context.PageContext();
  const TIWBrowser browser = context.Browser();
  const std::string e = ElementName();
  const std::string t = "TABCONTROL_" + e;
  const std::vector<TIWTabPage*> pages = Pages();
  const std::string index = IntToStr(ActiveIndex(pages));

  // The client object that switches the pages, made by init_E with the active index.
  page.AddScriptFile(kTabControlScript);
  page.AddDeclaration("\r\nvar " + t + "=null;");
  std::string init = "function init_" + e + "(AIndex) {" + "\r\n" + t + "= new JSTabControl( document.getElementById( \"" +
                     e + "\" ) );";
  if (onChange_) init += "\r\n" + t + ".SubmitOnChange = true;";
  init += "\r\n" + t + ".selectedIndex = AIndex;";
  for (const TIWTabPage* p : pages)
    init += "\r\n" + t + ".addTabPage(" + "document.getElementById( " + "\"" + p->ElementName() + "\"" + " )," +
            "\"PAGETITLE_" + p->ElementName() + "\"" + ");";
  init += "\r\n}";
  page.AddDeclaration(init);
  const std::string call = "init_" + e + "(" + index + ");";
  if (page.IsPartialUpdate()) page.AddPartialScript("IWTop()." + call + "\r\n");
  else page.AddInitA(call);

  // The strip: the looks of active and inactive tabs for the script, and the titles.
  TIWMarkupLanguageTag& strip = region->AddTag("div");
  strip.AddStringParam("style", kTabStripStyle);
  for (const auto& [suffix, font, color] :
       {std::tuple<const char*, const TIWFont&, TColor>{"_ACTIVE", activeTabFont_, activeTabColor_},
        {"_INACTIVE", inactiveTabFont_, inactiveTabColor_}}) {
    TIWMarkupLanguageTag& holder = strip.AddTag("input", ctNever);
    holder.AddStringParam("type", "hidden");
    holder.AddStringParam("id", "STYLEHOLDER_" + e + suffix);
    holder.AddStringParam("style", TabStyle(font, color, browser));
  }
  for (const TIWTabPage* p : pages) {
    TIWMarkupLanguageTag& title = strip.AddTag("span");
    title.AddStringParam("id", "PAGETITLE_" + p->ElementName());
    title.AddStringParam("style", "margin-top: 0;");
    title.AddText(p->Title());
  }

  // The index the post carries back.
  TIWMarkupLanguageTag& form = region->AddTag("FORM");
  form.AddStringParam("onSubmit", "return FormDefaultSubmit();");
  TIWMarkupLanguageTag& input = form.AddTag("INPUT", ctNever);
  input.AddStringParam("TYPE", "HIDDEN");
  input.AddStringParam("NAME", e + "_input");
  input.AddStringParam("ID", e + "_input");
  input.AddStringParam("value", index);
  return region;
}

void TIWTabControl::RegisterFields(TStringList& fields) const { fields.Add(ElementName() + "_input"); }

bool TIWTabControl::OwnsField(std::string_view name) const { return SameText(name, ElementName() + "_input"); }

void TIWTabControl::ApplySubmittedValue(const std::string& value) {
  const int index = StrToInt(value);
  const std::vector<TIWTabPage*> pages = Pages();
  if (index < 0 || index >= static_cast<int>(pages.size())) RaiseListIndexError(index);
  SetActivePage(pages[static_cast<std::size_t>(index)]->TabOrder());
}

void TIWTabControl::RunAction(const std::string&) {
  if (onChange_) onChange_(this);
}

// ---- the pages ---------------------------------------------------------------------------------

const TClassInfo& TIWTabPage::StaticClassInfo() {
  using T = TIWTabPage;
  static const TClassInfo info =
      TClassBuilder<T>("TIWTabPage").Creatable().Property("Title", &T::Title, &T::SetTitle).Build();
  return info;
}

TIWTabPage::TIWTabPage() { TIWTabPage::SetDefaults(); }

void TIWTabPage::SetDefaults() {
  TIWCustomRegion::SetDefaults();
  title_ = "Title";
  SetColor(clWhite);
  BorderOptions().SetStyle(cbsNone);
  SetAnchors({akLeft, akTop, akRight, akBottom});
}

std::string TIWTabPage::StyleText(TIWComponent40Context& context) {
  const TIWBrowser browser = context.Browser();
  std::string style = "z-index:2; width:" + IntToStr(RenderedWidth(browser)) + ";" + "height:" +
                      IntToStr(RenderedHeight(browser)) + ";" + "position: absolute;" + "left:" +
                      IntToStr(RenderedLeft(browser)) + ";" + "top:" + IntToStr(RenderedTop(browser)) + ";";
  if (Color() != clNone) style += "background-color:" + ColorText(Color()) + ";";
  // A hidden page is rendered only on a partial-update form, and has no tab to show it by.
  if (!Visible() && StyleRenderOptions().RenderVisibility()) style += "visibility:hidden;";
  return style;
}

}  // namespace qx
