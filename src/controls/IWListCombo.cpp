// The items of lists and combo boxes, the selection rules they share, their options, update
// element and scripts.
#include "controls/IWListCombo.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "controls/IWLabel.h"
#include "controls/InputRules.h"
#include "controls/UpdateElement.h"
#include "forms/Application.h"
#include "forms/PageContext.h"
#include "forms/TextHelpers.h"

namespace qx {

const char* const kSortedListOperation = "Operation not allowed on sorted list";

namespace {

int Identity(int index) { return index; }
int Gone(int) { return -1; }

}  // namespace

// ---- items ------------------------------------------------------------------------------------

void TIWListItems::CheckIndex(int index, int count) const {
  if (index < 0 || index >= count) RaiseListIndexError(index);
}

void TIWListItems::CheckUnsorted() const {
  if (owner_.Sorted()) throw EListError(kSortedListOperation);
}

const std::string& TIWListItems::operator[](int index) const {
  CheckIndex(index, Count());
  return lines_[index];
}

std::string TIWListItems::Names(int index) const {
  const std::string& item = (*this)[index];
  return item.substr(0, item.find('='));
}

std::string TIWListItems::ValueFromIndex(int index) const {
  const std::string& item = (*this)[index];
  const std::size_t eq = item.find('=');
  return eq == std::string::npos ? item : item.substr(eq + 1);
}

int TIWListItems::Add(std::string_view text) {
  int index = Count();
  if (owner_.Sorted()) {
    index = 0;
    while (index < Count() && CompareText(lines_[index], text) <= 0) ++index;
  }
  lines_.Insert(index, std::string(text));
  owner_.ItemsChanged([index](int i) { return i >= index ? i + 1 : i; });
  return index;
}

void TIWListItems::Insert(int index, std::string_view text) {
  CheckUnsorted();
  CheckIndex(index, Count() + 1);
  lines_.Insert(index, std::string(text));
  owner_.ItemsChanged([index](int i) { return i >= index ? i + 1 : i; });
}

void TIWListItems::Delete(int index) {
  CheckIndex(index, Count());
  lines_.Delete(index);
  owner_.ItemsChanged([index](int i) { return i == index ? -1 : i > index ? i - 1 : i; });
}

void TIWListItems::Exchange(int index1, int index2) {
  CheckUnsorted();
  CheckIndex(index1, Count());
  CheckIndex(index2, Count());
  std::swap(lines_[index1], lines_[index2]);
  owner_.ItemsChanged([=](int i) { return i == index1 ? index2 : i == index2 ? index1 : i; });
}

void TIWListItems::Clear() {
  lines_.Clear();
  owner_.ItemsChanged(Gone);
}

// ---- the control ------------------------------------------------------------------------------

const TClassInfo& TIWCustomListCombo::StaticClassInfo() {
  using T = TIWCustomListCombo;
  static const TClassInfo info =
      AddAsyncEventProperties(
          TClassBuilder<T>("TIWCustomListCombo")
              .Property("Items", &T::ItemLines, &T::SetItems)
              .Property("ItemIndex", &T::ItemIndex, &T::SetItemIndex)
              .Property("ItemsHaveValues", &T::ItemsHaveValues, &T::SetItemsHaveValues)
              .Property("NoSelectionText", &T::NoSelectionText, &T::SetNoSelectionText)
              .Property("RequireSelection", &T::RequireSelection, &T::SetRequireSelection)
              .Property("Required", &T::Required, &T::SetRequired)
              .Property("Sorted", &T::Sorted, &T::SetSorted)
              .Property("UseSize", &T::UseSize, &T::SetUseSize)
              .Property("BGColor", &T::BGColor, &T::SetBGColor)
              .Property("FocusColor", &T::FocusColor, &T::SetFocusColor)
              .Property("AutoHideOnMenuActivation", &T::AutoHideOnMenuActivation,
                        &T::SetAutoHideOnMenuActivation)
              .Property("OnChange", &T::OnChange, &T::SetOnChange))
          .Build();
  return info;
}

TIWCustomListCombo::TIWCustomListCombo() { TIWCustomListCombo::SetDefaults(); }

void TIWCustomListCombo::SetDefaults() {
  TIWCustomControl::SetDefaults();
  items_.lines_.Clear();
  itemIndex_ = -1;
  itemsHaveValues_ = false;
  noSelectionText_ = "-- No Selection --";
  requireSelection_ = true;
  required_ = false;
  sorted_ = false;
  useSize_ = true;
  bgColor_ = clNone;
  focusColor_ = clNone;
  autoHideOnMenuActivation_ = false;
  // An input is as large as it was designed.
  SetAutoSize(false);
}

void TIWCustomListCombo::ItemsChanged(const std::function<int(int)>& map) {
  MarkChanged();
  MoveSelection(map);
}

void TIWCustomListCombo::MoveSelection(const std::function<int(int)>& map) {
  if (itemIndex_ >= 0) itemIndex_ = map(itemIndex_);
}

void TIWCustomListCombo::SetItems(const TStringList& items) {
  const bool shorter = items.Empty() || items.Count() < items_.Count();
  items_.lines_ = items;
  ItemsChanged(shorter ? Gone : Identity);
  if (sorted_) SortItems();
}

void TIWCustomListCombo::SetSorted(bool sorted) {
  if (SetProperty(sorted_, sorted) && sorted) SortItems();
}

// A stable sort without regard to letter case; the selection stays with its items.
void TIWCustomListCombo::SortItems() {
  const TStringList& lines = items_.lines_;
  std::vector<int> order(static_cast<std::size_t>(lines.Count()));
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return CompareText(lines[a], lines[b]) < 0; });
  std::vector<int> moved(order.size());
  TStringList sorted;
  for (std::size_t i = 0; i < order.size(); ++i) {
    moved[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
    sorted.Add(lines[order[i]]);
  }
  if (sorted == lines) return;
  items_.lines_ = std::move(sorted);
  ItemsChanged([&](int i) { return moved[static_cast<std::size_t>(i)]; });
}

void TIWCustomListCombo::SetItemIndex(int index) {
  if (index < 0) index = -1;
  if (index >= items_.Count() || !SetProperty(itemIndex_, index)) return;
  ItemIndexStored();
  // A change made by a callback has no post of its own that would run OnChange.
  TIWApplication* application = TIWApplication::Current();
  if (onChange_ && application && application->IsCallback()) onChange_(this);
}

std::string TIWCustomListCombo::Text() const {
  if (itemIndex_ < 0 || itemIndex_ >= items_.Count()) return {};
  return itemsHaveValues_ ? items_.ValueFromIndex(itemIndex_) : items_[itemIndex_];
}

std::string TIWCustomListCombo::ShownText(int index) const {
  return itemsHaveValues_ ? items_.Names(index) : items_[index];
}

int TIWCustomListCombo::IndexOfValue(std::string_view value) const {
  for (int i = 0; i < items_.Count(); ++i)
    if (items_.ValueFromIndex(i) == value) return i;
  return -1;
}

void TIWCustomListCombo::AddOptions(TIWMarkupLanguageTag& select) const {
  if (OffersNoSelection()) {
    TIWMarkupLanguageTag& option = select.AddTag("OPTION");
    option.AddStringParam("VALUE", "-1");
    if (NoSelectionSelected()) option.Add("SELECTED");
    option.AddText(noSelectionText_);
  }
  for (int i = 0; i < items_.Count(); ++i) {
    TIWMarkupLanguageTag& option = select.AddTag("OPTION");
    if (Selected(i)) option.Add("SELECTED");
    // An empty value is still written: without one the browser would post the text.
    option.SetParam("VALUE", itemsHaveValues_ ? EscapeMarkup(items_.ValueFromIndex(i)) : IntToStr(i));
    option.AddText(EscapeMarkup(ShownText(i), true));
  }
}

void TIWCustomListCombo::AddNonEditableAttributes(TIWMarkupLanguageTag& tag) const {
  if (Editable()) return;
  tag.AddStringParam("DISABLED", "true");
  tag.AddStringParam("READONLY", "true");
}

std::unique_ptr<TIWMarkupLanguageTag> TIWCustomListCombo::RenderStandIn(
    TIWComponent40Context& context, std::string_view caption) const {
  // The control's own post-processing adds its font, extra parameters and script events.
  Owned<TIWLabel> label = StandInLabel(*this, caption);
  label->SetBGColor(bgColor_);
  return label->RenderMarkup(context);
}

std::unique_ptr<TIWMarkupLanguageTag> TIWCustomListCombo::UpdateWithItems(std::string_view type,
                                                                          bool multiple) const {
  auto control = UpdateElement(ElementName(), type);
  AddUpdateValue(*control, "ReadOnly", Editable() ? "false" : "true");
  AddUpdateValue(*control, "select_type", multiple ? "select-multiple" : "select-one");
  TIWMarkupLanguageTag& list = control->AddTag("items", ctAlways);
  auto addItem = [&list](std::string_view value, std::string_view text, bool selected) {
    TIWMarkupLanguageTag& item = list.AddTag("item", ctAlways);
    item.AddStringParam("selected", selected ? "true" : "false");
    AddUpdateValue(item, "value", value);
    AddUpdateValue(item, "text", text);
  };
  if (OffersNoSelection()) addItem("-1", noSelectionText_, NoSelectionSelected());
  for (int i = 0; i < items_.Count(); ++i)
    addItem(itemsHaveValues_ ? items_.ValueFromIndex(i) : IntToStr(i), ShownText(i), Selected(i));
  return control;
}

std::string TIWCustomListCombo::StyleText(TIWComponent40Context& context) {
  std::string style = TIWCustomControl::StyleText(context);
  if (bgColor_ != clNone) style += "background-color:" + ColorText(bgColor_) + ";";
  return style;
}

void TIWCustomListCombo::AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) {
  TIWCustomControl::AttachScripts(page, events);
  AsyncEvents().Attach(*this, ElementName(), page.Application(), events);
  if (!RendersAsInput()) return;
  if (Editable()) AddFocusColor(events, focusColor_, bgColor_, "';");
  if (required_) AddRequiredSelection(page, ElementName(), FriendlyName());
}

}  // namespace qx
