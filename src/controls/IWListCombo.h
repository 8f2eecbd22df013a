// TIWCustomListCombo: what the combo box and the list box share — their items (a string
// list the control owns, optionally name=value pairs), the selected item, the no-selection
// option, the focus colour, the Required check and OnChange — and TIWListItems, the items.
#pragma once

#include <functional>

#include "forms/AsyncEvents.h"
#include "forms/Control.h"

namespace qx {

class TIWCustomListCombo;

extern const char* const kSortedListOperation;  // "Operation not allowed on sorted list"

// The items of a list or combo box. Every change marks the control changed and moves its
// selection with the items it belongs to. Indexes out of range fail with EListError.
class TIWListItems {
 public:
  TIWListItems(const TIWListItems&) = delete;
  TIWListItems& operator=(const TIWListItems&) = delete;

  int Count() const noexcept { return lines_.Count(); }
  const std::string& operator[](int index) const;
  // The first item equal to `text` without regard to letter case; -1 when none.
  int IndexOf(std::string_view text) const noexcept { return lines_.IndexOf(text); }
  const TStringList& Lines() const noexcept { return lines_; }
  // The shown and the posted part of a name=value item; an item without "=" is both.
  std::string Names(int index) const;
  std::string ValueFromIndex(int index) const;

  // Appends, or with Sorted inserts at its place in the order; returns the new index.
  int Add(std::string_view text);
  // Fails with EListError kSortedListOperation on a sorted list.
  void Insert(int index, std::string_view text);
  void Delete(int index);
  // Fails with EListError kSortedListOperation on a sorted list.
  void Exchange(int index1, int index2);
  void Clear();

 private:
  friend class TIWCustomListCombo;
  explicit TIWListItems(TIWCustomListCombo& owner) noexcept : owner_(owner) {}
  void CheckIndex(int index, int count) const;
  void CheckUnsorted() const;

  TIWCustomListCombo& owner_;
  TStringList lines_;
};

class TIWCustomListCombo : public TIWCustomControl, public IIWAsyncEventSource {
  QX_CLASS(TIWCustomListCombo, TIWCustomControl)

 public:
  TIWListItems& Items() noexcept { return items_; }
  const TIWListItems& Items() const noexcept { return items_; }
  // Replaces every item; the selection is cleared when the new list is empty or shorter.
  void SetItems(const TStringList& items);
  // -1 for none. A new value not below the item count, or equal to the current one, is
  // ignored; any negative value means none. While the application runs an asynchronous
  // callback, a change fires OnChange.
  int ItemIndex() const noexcept { return itemIndex_; }
  void SetItemIndex(int index);
  // Whether item `index` is selected.
  virtual bool Selected(int index) const { return index >= 0 && index == itemIndex_; }
  // Empties the items and selects nothing.
  void Clear() { items_.Clear(); }
  // The selected item, or its value part with ItemsHaveValues; empty when none is selected.
  std::string Text() const;
  // Items are name=value pairs: the name is shown, the value posted.
  bool ItemsHaveValues() const noexcept { return itemsHaveValues_; }
  void SetItemsHaveValues(bool v) { SetProperty(itemsHaveValues_, v); }
  // The option that stands for no selection (written as it is).
  const std::string& NoSelectionText() const noexcept { return noSelectionText_; }
  void SetNoSelectionText(std::string_view text) { SetProperty(noSelectionText_, text); }
  // Once an item is selected, the no-selection option is no longer offered.
  bool RequireSelection() const noexcept { return requireSelection_; }
  virtual void SetRequireSelection(bool require) { SetProperty(requireSelection_, require); }
  // The page refuses to post while nothing is selected.
  bool Required() const noexcept { return required_; }
  void SetRequired(bool required) { SetProperty(required_, required); }
  // The items are kept in alphabetical order (letter case ignored).
  bool Sorted() const noexcept { return sorted_; }
  void SetSorted(bool sorted);
  // The element carries the control's width.
  bool UseSize() const noexcept { return useSize_; }
  void SetUseSize(bool use) { SetProperty(useSize_, use); }
  TColor BGColor() const noexcept { return bgColor_; }
  void SetBGColor(TColor color) { SetProperty(bgColor_, color); }
  TColor FocusColor() const noexcept { return focusColor_; }
  void SetFocusColor(TColor color) { SetProperty(focusColor_, color); }
  // Kept with the control; this service's pages have no menus to hide it under.
  bool AutoHideOnMenuActivation() const noexcept { return autoHideOnMenuActivation_; }
  void SetAutoHideOnMenuActivation(bool hide) { SetProperty(autoHideOnMenuActivation_, hide); }
  const TNotifyEvent& OnChange() const noexcept { return onChange_; }
  void SetOnChange(TNotifyEvent handler) { onChange_ = std::move(handler); }
  // The action parameter of the last post the control caused.
  const std::string& ActionParam() const noexcept { return actionParam_; }

  void SetDefaults() override;
  // Posts its selection while it renders as a list.
  bool TakesInput() const override { return RendersAsInput(); }
  bool ReportsContentChanges() const override { return true; }
  // The common style, then the background colour.
  std::string StyleText(TIWComponent40Context& context) override;
  // Focus colours, the Required check and the asynchronous events.
  void AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) override;

 protected:
  TIWCustomListCombo();

  bool RendersAsInput() const { return Editable() || !NonEditableAsLabel(); }
  // The list offers the option that stands for no selection, and whether it is selected.
  virtual bool OffersNoSelection() const = 0;
  virtual bool NoSelectionSelected() const = 0;
  // The OPTIONs: the no-selection one when offered (VALUE -1, SELECTED when it is selected,
  // NoSelectionText as it is), then one per item (SELECTED when selected, VALUE the index or
  // the value part, the item or its name part escaped with line breaks).
  void AddOptions(TIWMarkupLanguageTag& select) const;
  // The rule-2 attributes of a non-editable control that still renders as its input.
  void AddNonEditableAttributes(TIWMarkupLanguageTag& tag) const;
  // The transient label a non-editable control renders as, showing `caption`.
  std::unique_ptr<TIWMarkupLanguageTag> RenderStandIn(TIWComponent40Context& context,
                                                      std::string_view caption) const;
  // The "control" update element of `type` with "ReadOnly", "select_type" ("select-one" or
  // "select-multiple") and "items", one "item" per option with its "value", "text" and
  // "selected".
  std::unique_ptr<TIWMarkupLanguageTag> UpdateWithItems(std::string_view type, bool multiple) const;
  // What item `index` shows: the item, or its name part with ItemsHaveValues.
  std::string ShownText(int index) const;
  // The index of the first item whose value part is `value`; -1 when none.
  int IndexOfValue(std::string_view value) const;
  void SetActionParam(const std::string& parameter) { actionParam_ = parameter; }

  // Moves the selection with the items: `map` gives each old index its new one, -1 when the
  // item is gone. A list box moves its selection set too.
  virtual void MoveSelection(const std::function<int(int)>& map);
  // A new ItemIndex was stored.
  virtual void ItemIndexStored() {}

 private:
  friend class TIWListItems;
  const TStringList& ItemLines() const noexcept { return items_.Lines(); }
  // A change of the items: the control is marked changed and its selection moved by `map`.
  void ItemsChanged(const std::function<int(int)>& map);
  void SortItems();

  TIWListItems items_{*this};
  int itemIndex_ = -1;
  bool itemsHaveValues_ = false;
  std::string noSelectionText_;
  bool requireSelection_ = true;
  bool required_ = false;
  bool sorted_ = false;
  bool useSize_ = true;
  TColor bgColor_ = clNone;
  TColor focusColor_ = clNone;
  bool autoHideOnMenuActivation_ = false;
  TNotifyEvent onChange_;
  std::string actionParam_;

  QX_ASYNC_EVENTS
};

}  // namespace qx
