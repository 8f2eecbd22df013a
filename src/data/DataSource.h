// TDataSource and TDataLink: how data controls (and detail datasets) follow a dataset. The
// dataset tells every link of every source attached to it what happened.
#pragma once

#include <vector>

#include "runtime/Component.h"

namespace qx {

class TDataSet;
class TDataSource;
class TField;
enum TDataSetState : int;

// The base of every link: a data control (or a detail dataset) derives from it and overrides
// the notifications it cares about. Links are told nothing while the dataset's controls are
// disabled (DisableControls).
class TDataLink {
 public:
  TDataLink() = default;
  virtual ~TDataLink();
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;

  TDataSource* DataSource() const noexcept { return dataSource_; }
  void SetDataSource(TDataSource* source);
  // The source's dataset, or nullptr.
  TDataSet* DataSet() const noexcept;
  // The dataset is there and open.
  bool Active() const noexcept;
  // The dataset is in edit or insert state.
  bool Editing() const noexcept;
  // A link that makes a detail dataset follow its master answers that detail.
  virtual TDataSet* DetailDataSet() const noexcept { return nullptr; }

 protected:
  friend class TDataSet;
  friend class TDataSource;
  // The dataset opened or closed, or the link was attached to another one.
  virtual void ActiveChanged() {}
  // The dataset moved to another record, or its rows changed as a whole.
  virtual void DataSetChanged() {}
  // The dataset moved by `distance` records (Next, Prior, MoveBy).
  virtual void DataSetScrolled(int /*distance*/) { DataSetChanged(); }
  // The dataset entered or left edit state.
  virtual void EditingChanged() {}
  // The dataset's field list changed.
  virtual void LayoutChanged() { DataSetChanged(); }
  // A field of the current record was written.
  virtual void RecordChanged(TField* /*field*/) {}

 private:
  TDataSource* dataSource_ = nullptr;
};

// A component, so that definitions declare it and name it in data controls' DataSource.
class TDataSource : public TComponent {
  QX_CLASS(TDataSource, TComponent)

 public:
  TDataSource() = default;
  ~TDataSource() override;

  TDataSet* DataSet() const noexcept { return dataSet_; }
  // Attaching or detaching tells the links ActiveChanged.
  void SetDataSet(TDataSet* dataSet);
  // The dataset's state; dsInactive without one.
  TDataSetState State() const noexcept;
  // Puts the dataset into edit state unless it already is.
  void Edit();

 private:
  friend class TDataLink;
  friend class TDataSet;
  void NotifyActiveChanged();

  TDataSet* dataSet_ = nullptr;
  std::vector<TDataLink*> links_;
};

}  // namespace qx
