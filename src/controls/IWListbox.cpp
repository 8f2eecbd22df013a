// The list box's properties, markup, scripts, posted value and action.
#include "controls/IWListbox.h"

#include "forms/PageContext.h"
#include "forms/ScriptEvents.h"
#include "runtime/Strings.h"

namespace qx {

const TClassInfo& TIWCustomListbox::StaticClassInfo() {
  using T = TIWCustomListbox;
  static const TClassInfo info = TClassBuilder<T>("TIWCustomListbox")
                                     .Property("MultiSelect", &T::MultiSelect, &T::SetMultiSelect)
                                     .Property("OnClick", &T::OnClick, &T::SetOnClick)
                                     .Property("OnDblClick", &T::OnDblClick, &T::SetOnDblClick)
                                     .Build();
  return info;
}

const TClassInfo& TIWListbox::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWListbox>("TIWListbox").Creatable().Build();
  return info;
}

TIWCustomListbox::TIWCustomListbox() { TIWCustomListbox::SetDefaults(); }

void TIWCustomListbox::SetDefaults() {
  TIWCustomListCombo::SetDefaults();
  multiSelect_ = false;
  selection_.clear();
  SetBounds(Left(), Top(), 121, 121);
}

void TIWCustomListbox::SetMultiSelect(bool multi) {
  if (SetProperty(multiSelect_, multi) && multi) SetRequireSelection(false);
}

void TIWCustomListbox::SetRequireSelection(bool require) {
  TIWCustomListCombo::SetRequireSelection(require);
  if (require) SetMultiSelect(false);
}

bool TIWCustomListbox::Selected(int index) const {
  return multiSelect_ ? selection_.contains(index) : TIWCustomListCombo::Selected(index);
}

bool TIWCustomListbox::OffersNoSelection() const {
  return Items().Count() > 0 && !multiSelect_ && (ItemIndex() == -1 || !RequireSelection());
}

void TIWCustomListbox::MoveSelection(const std::function<int(int)>& map) {
  TIWCustomListCombo::MoveSelection(map);
  std::set<int> moved;
  for (int index : selection_)
    if (const int to = map(index); to >= 0) moved.insert(to);
  selection_ = std::move(moved);
}

void TIWCustomListbox::ItemIndexStored() {
  if (multiSelect_ && ItemIndex() >= 0) selection_.insert(ItemIndex());
}

std::unique_ptr<TIWMarkupLanguageTag> TIWCustomListbox::RenderMarkup(TIWComponent40Context& context) {
  if (!RendersAsInput()) return RenderStandIn(context, Text());
  auto select = TIWHTMLTag::Create("SELECT");
  select->AddStringParam("NAME", ElementName());
  select->AddIntegerParam("SIZE", Height() / 16);
  if (multiSelect_) select->Add("MULTIPLE");
  if (UseSize()) select->AddIntegerParam("WIDTH", Width());
  if (!Enabled()) select->Add("DISABLED");
  AddNonEditableAttributes(*select);
  AddOptions(*select);
  return select;
}

std::unique_ptr<TIWMarkupLanguageTag> TIWCustomListbox::RenderUpdate(TIWComponent40Context&) {
  return UpdateWithItems("IWLISTBOX", multiSelect_);
}

void TIWCustomListbox::AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) {
  TIWCustomListCombo::AttachScripts(page, events);
  if (!RendersAsInput() || !Editable()) return;
  if (OnChange()) events.HookEvent("OnChange", SubmitCallScript(page, ""));
  if (onClick_) events.HookEvent("OnClick", SubmitCallScript(page, ""));
  if (onDblClick_) events.HookEvent("OnDblClick", SubmitCallScript(page, "DblClick"));
}

void TIWCustomListbox::ApplySubmittedValue(const std::string& value) {
  const std::size_t comma = value.find(',');
  const std::string_view first = std::string_view(value).substr(0, comma);
  int index = -1;
  if (!ItemsHaveValues()) {
    index = StrToIntDef(first, -1);
  } else if (value != "-1") {
    index = IndexOfValue(first);
    if (index < 0) index = ItemIndex();
  }

  // Every further value is read before anything changes, so a bad one changes nothing.
  std::set<int> named;
  if (multiSelect_ && comma != std::string::npos) {
    std::string_view rest = std::string_view(value).substr(comma + 1);
    while (!rest.empty()) {
      const std::size_t next = rest.find(',');
      const std::string_view token = rest.substr(0, next);
      rest = next == std::string_view::npos ? std::string_view() : rest.substr(next + 1);
      int item = -1;
      if (ItemsHaveValues()) {
        item = IndexOfValue(token);
      } else {
        item = StrToInt(token);
        if (item < 0) RaiseListIndexError(item);
      }
      if (item >= 0 && item < Items().Count()) named.insert(item);
    }
  }

  SetItemIndex(index);
  if (!multiSelect_) return;
  if (ItemIndex() >= 0) named.insert(ItemIndex());
  SetProperty(selection_, std::move(named));
}

void TIWCustomListbox::RunAction(const std::string& parameter) {
  SetActionParam(parameter);
  if (OnChange()) OnChange()(this);
  if (parameter == "DblClick") {
    if (onDblClick_) onDblClick_(this);
  } else if (onClick_) {
    onClick_(this);
  }
}

}  // namespace qx
