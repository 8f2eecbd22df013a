// TIWListbox: a list box with one or several selected items. It posts the selected options'
// values and runs OnChange, then OnDblClick or OnClick, when it posted the page.
#pragma once

#include <set>

#include "controls/IWListCombo.h"

namespace qx {

class TIWCustomListbox : public TIWCustomListCombo {
  QX_CLASS(TIWCustomListbox, TIWCustomListCombo)

 public:
  // Several items may be selected; turning it on turns RequireSelection off.
  bool MultiSelect() const noexcept { return multiSelect_; }
  void SetMultiSelect(bool multi);
  // Turning it on turns MultiSelect off.
  void SetRequireSelection(bool require) override;
  // The selected items of a multiple selection.
  const std::set<int>& Selection() const noexcept { return selection_; }
  // With MultiSelect: whether the item is in the selection; otherwise whether it is ItemIndex.
  bool Selected(int index) const override;
  const TNotifyEvent& OnClick() const noexcept { return onClick_; }
  void SetOnClick(TNotifyEvent handler) { onClick_ = std::move(handler); }
  const TNotifyEvent& OnDblClick() const noexcept { return onDblClick_; }
  void SetOnDblClick(TNotifyEvent handler) { onDblClick_ = std::move(handler); }

  void SetDefaults() override;
  bool CanSubmit() const override { return OnChange() || onClick_ || onDblClick_; }
  std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override;
  // <control type="IWLISTBOX"> with its options.
  std::unique_ptr<TIWMarkupLanguageTag> RenderUpdate(TIWComponent40Context& context) override;
  // The posts of a change, a click and a double click.
  void AttachScripts(TIWPageContext40& page, TIWScriptEvents& events) override;
  // "first," then every selected value followed by ",": the first gives ItemIndex, the others
  // the selection of a multiple list. The whole value is checked before anything changes: a
  // remaining value that is no integer fails with EConvertError, a negative one with
  // EListError.
  void ApplySubmittedValue(const std::string& value) override;
  // OnChange, then OnDblClick for the parameter "DblClick", else OnClick.
  void RunAction(const std::string& parameter) override;

 protected:
  TIWCustomListbox();
  bool OffersNoSelection() const override;
  bool NoSelectionSelected() const override { return true; }
  void MoveSelection(const std::function<int(int)>& map) override;
  void ItemIndexStored() override;

 private:
  bool multiSelect_ = false;
  std::set<int> selection_;
  TNotifyEvent onClick_;
  TNotifyEvent onDblClick_;
};

class TIWListbox : public TIWCustomListbox {
  QX_CLASS(TIWListbox, TIWCustomListbox)

 public:
  TIWListbox() = default;
};

}  // namespace qx
