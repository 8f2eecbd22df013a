// TDataSet: a static dataset. Open fetches every row of its statement, the rows do not change
// while it stays open; navigation, fields, Locate, bookmarks, edit state, notifications.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/Engine.h"
#include "data/Field.h"
#include "data/FieldDefs.h"
#include "data/Variant.h"
#include "runtime/Component.h"

namespace qx {

class TDataSource;
class TDataLink;

enum TDataSetState : int { dsInactive, dsBrowse, dsEdit, dsInsert, dsCalcFields };

// A position in an open dataset. Valid only while the dataset stays open: reopening makes
// every earlier bookmark invalid. The null bookmark (an empty dataset's) equals no position.
struct TBookmark {
  std::uint64_t generation = 0;
  int row = -1;
  bool IsNull() const noexcept { return generation == 0; }
  bool operator==(const TBookmark&) const = default;
};

// Navigation follows the platform: after Open the first row is current with Bof true; First
// sets Bof, Last sets Eof; Next past the last row stays on it and sets Eof, Prior before the
// first stays on it and sets Bof; an empty dataset has Bof and Eof both true.
//
// The after-scroll notification is raised after Open when there are rows (never for an empty
// result), after every First, Prior, Next, Last and MoveBy, after a Locate that found its row
// and after moving to a bookmark; nowhere else (not by Close, Edit, Post or field writes).
//
// Edits (Edit, field writes, Post, Cancel) change this dataset's fetched rows only; the
// database is written through TADOCommand. Thread safety: see TADOConnection.
//
// A dataset is a component, so that a definition declares it (its fields in DeclaredFields,
// its events by handler name) and links it by name to its connection and data sources.
class TDataSet : public TComponent {
  QX_CLASS(TDataSet, TComponent)

 public:
  using TDataSetNotifyEvent = std::function<void(TDataSet& DataSet)>;

  TDataSet() = default;
  ~TDataSet() override;

  // Runs the statement and fetches every row. On failure the dataset stays closed.
  void Open();
  void Close();
  bool Active() const noexcept { return state_ != dsInactive; }
  void SetActive(bool value) {
    if (value)
      Open();
    else
      Close();
  }
  TDataSetState State() const noexcept { return state_; }

  void First();
  void Prior();
  void Next();
  void Last();
  // Moves up to `distance` records (negative: backwards); returns how far it moved.
  int MoveBy(int distance);
  // True also for a closed dataset.
  bool Bof() const noexcept { return bof_; }
  bool Eof() const noexcept { return eof_; }
  bool IsEmpty() const noexcept { return rowCount_ == 0; }
  int RecordCount() const;
  // 1 for the first row; -1 when there is no current row (an empty dataset).
  int RecNo() const;

  // The fields: the declared ones when any field was declared (whatever else the statement
  // returns), else one per column of the open statement.
  int FieldCount() const noexcept { return static_cast<int>(fields_.size()); }
  TField& Fields(int index) const;
  // Names compared without regard to letter case; EDatabaseError "Field '<name>' not found".
  TField& FieldByName(std::string_view name) const;
  TField* FindField(std::string_view name) const noexcept;
  // Declares a field the statement must return (Open fails with EDatabaseError naming the
  // field when it does not), or a calculated field the OnCalcFields hook fills. Only while
  // closed.
  TField& DeclareField(std::string name, TFieldType type, int size = 0);
  TField& DeclareCalculatedField(std::string name, TFieldType type, int size = 0);
  // The declarations a definition gives (DeclaredFields = < item … end >); they become declared
  // fields when the definition has been read.
  TFieldDefs& DeclaredFields() noexcept { return declaredFields_; }

  // Moves to the first row whose field equals the value as a whole (text exactly, numbers by
  // value, a text value compared with a number as the number it spells). True when found;
  // otherwise the current row stays.
  bool Locate(std::string_view fieldName, const Variant& value);

  TBookmark Bookmark() const;
  // EDatabaseError "Record not found" for a bookmark that is not valid.
  void SetBookmark(const TBookmark& bookmark);
  bool BookmarkValid(const TBookmark& bookmark) const noexcept;

  // Suspends the notifications of linked controls (not the dataset's own events) until the
  // matching EnableControls, which then tells the links that the dataset changed.
  void DisableControls() noexcept;
  void EnableControls();
  bool ControlsDisabled() const noexcept { return disableCount_ > 0; }
  // Suspends the dataset's own after-scroll event until the matching EnableScrollEvents. A
  // walk over the rows that returns to where it started (a grid rendering its page) is no
  // move, and must not run what a screen hooks to moves (reloading a detail list per row).
  void DisableScrollEvents() noexcept { ++scrollDisableCount_; }
  void EnableScrollEvents() noexcept {
    if (scrollDisableCount_ > 0) --scrollDisableCount_;
  }
  // Datasets that follow this one as their master.
  std::vector<TDataSet*> GetDetailDataSets() const;

  void Edit();
  void Post();
  void Cancel();

  const TDataSetNotifyEvent& AfterScroll() const noexcept { return afterScroll_; }
  void SetAfterScroll(TDataSetNotifyEvent handler) { afterScroll_ = std::move(handler); }
  // Called for every row at Open (and after a Post) with the row current and the dataset in
  // dsCalcFields state; it sets the calculated fields.
  const TDataSetNotifyEvent& OnCalcFields() const noexcept { return onCalcFields_; }
  void SetOnCalcFields(TDataSetNotifyEvent handler) { onCalcFields_ = std::move(handler); }

 protected:
  void Loaded() override;

  // What the concrete dataset fetched: column names and declared types in the service's
  // text, and every row's values (service text as well), row after row in one block.
  struct ResultSet {
    std::vector<DbColumn> columns;
    std::vector<Variant> values;
    std::size_t RowCount() const noexcept { return columns.empty() ? 0 : values.size() / columns.size(); }
  };
  virtual ResultSet FetchAll() = 0;

 private:
  friend class TField;
  friend class TDataSource;
  enum class LinkEvent { kActive, kChanged, kScrolled, kEditing, kLayout, kRecord };

  const Variant& FieldValue(const TField& field) const;
  void SetFieldValue(TField& field, Variant value);
  void BindFields(const ResultSet& result, std::vector<int>& sourceColumn);
  void CalculateRow(std::size_t row);
  Variant* Row(std::size_t row) noexcept { return values_.data() + row * width_; }
  const Variant* Row(std::size_t row) const noexcept { return values_.data() + row * width_; }
  void ClearRows() noexcept {
    values_.clear();
    rowCount_ = 0;
  }
  void CheckActive() const;
  void CheckBrowseMode();
  void DoAfterScroll();
  void Notify(LinkEvent event, int distance = 0, TField* field = nullptr);
  TField& AddField(std::unique_ptr<TField> field, bool declared);
  void RemoveUndeclaredFields() noexcept;
  void AttachSource(TDataSource* source);
  void DetachSource(TDataSource* source) noexcept;

  TDataSetState state_ = dsInactive;
  std::vector<std::unique_ptr<TField>> fields_;
  // The fetched rows: rowCount_ rows of width_ values (one per field) in one block.
  std::vector<Variant> values_;
  std::size_t rowCount_ = 0;
  std::size_t width_ = 0;
  std::vector<Variant> editBuffer_;
  std::size_t current_ = 0;
  bool bof_ = true;
  bool eof_ = true;
  std::uint64_t generation_ = 0;
  int disableCount_ = 0;
  int scrollDisableCount_ = 0;
  bool activeWhenDisabled_ = false;
  std::vector<TDataSource*> sources_;
  TDataSetNotifyEvent afterScroll_;
  TDataSetNotifyEvent onCalcFields_;
  TFieldDefs declaredFields_;
};

}  // namespace qx
