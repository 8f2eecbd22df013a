// TDataSource and TDataLink: attaching links to sources and sources to datasets.
#include "data/DataSource.h"

#include <algorithm>

#include "data/DataSet.h"
#include "runtime/ClassInfo.h"

namespace qx {

TDataLink::~TDataLink() {
  if (dataSource_) std::erase(dataSource_->links_, this);
}

void TDataLink::SetDataSource(TDataSource* source) {
  if (source == dataSource_) return;
  if (dataSource_) std::erase(dataSource_->links_, this);
  dataSource_ = source;
  if (dataSource_) dataSource_->links_.push_back(this);
  ActiveChanged();
}

TDataSet* TDataLink::DataSet() const noexcept {
  return dataSource_ ? dataSource_->DataSet() : nullptr;
}

bool TDataLink::Active() const noexcept {
  TDataSet* dataSet = DataSet();
  return dataSet && dataSet->Active();
}

bool TDataLink::Editing() const noexcept {
  TDataSet* dataSet = DataSet();
  return dataSet && (dataSet->State() == dsEdit || dataSet->State() == dsInsert);
}

const TClassInfo& TDataSource::StaticClassInfo() {
  using T = TDataSource;
  static const TClassInfo info = TClassBuilder<T>("TDataSource")
                                     .Creatable()
                                     .Property("DataSet", &T::DataSet, &T::SetDataSet)
                                     .Build();
  return info;
}

TDataSource::~TDataSource() {
  if (dataSet_) dataSet_->DetachSource(this);
  for (TDataLink* link : std::vector<TDataLink*>(links_)) link->dataSource_ = nullptr;
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet_) dataSet_->DetachSource(this);
  dataSet_ = dataSet;
  if (dataSet_) dataSet_->AttachSource(this);
  NotifyActiveChanged();
}

TDataSetState TDataSource::State() const noexcept {
  return dataSet_ ? dataSet_->State() : dsInactive;
}

void TDataSource::Edit() {
  if (dataSet_ && dataSet_->State() == dsBrowse) dataSet_->Edit();
}

void TDataSource::NotifyActiveChanged() {
  for (TDataLink* link : std::vector<TDataLink*>(links_))
    if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->ActiveChanged();
}

}  // namespace qx
