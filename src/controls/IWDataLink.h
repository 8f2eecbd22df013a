// TIWDataLink: the link a data-aware control (or the grid) keeps to its data source. It marks
// its control changed when what the control shows may change, so partial updates re-send it.
#pragma once

#include "data/DataSource.h"
#include "forms/Interfaces.h"

namespace qx {

class TIWDataLink final : public TDataLink {
 public:
  explicit TIWDataLink(IIWBaseComponent& control) noexcept : control_(control) {}
  IIWBaseComponent& Control() const noexcept { return control_; }

 protected:
  // Opened or closed, edit state entered or left, fields changed, or the whole dataset changed
  // (a move, new rows). Field writes of the current record do not change what was rendered.
  void ActiveChanged() override { control_.MarkChanged(); }
  void DataSetChanged() override { control_.MarkChanged(); }
  void EditingChanged() override { control_.MarkChanged(); }
  void LayoutChanged() override { control_.MarkChanged(); }

 private:
  IIWBaseComponent& control_;
};

}  // namespace qx
