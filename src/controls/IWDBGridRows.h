// The data grid's row writer: what one rendering of a grid needs for every row, worked out
// once before the walk (each column's fields, markup, anchors; the row's attribute pieces),
// and the title, record and footer rows written straight into the rows' text.
#pragma once

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "controls/IWDBGrid.h"

namespace qx {

// The text a grid writes its rows into, kept from one rendering to the next: written over
// instead of freed and allocated again, so a page of megabytes needs no fresh memory, and
// appended to with a plain copy. A short text is kept at its own size (Compact): every idle
// session holds its grids' texts, and the room grown for writing is half again as much.
class TIWRowsText {
 public:
  std::string_view View() const noexcept { return {bytes_.get(), size_}; }
  bool empty() const noexcept { return size_ == 0; }
  void clear() noexcept { size_ = 0; }
  void append(const char* text, std::size_t n) {
    if (capacity_ - size_ < n) Grow(size_ + n);
    char* to = bytes_.get() + size_;
    size_ += n;
    // Rows are written in pieces of a few to a few hundred bytes: copied here in (overlapping)
    // blocks of fixed size the compiler writes inline, a call only for long pieces.
    if (n >= 16 && n <= 512) {
      for (std::size_t i = 0; i + 16 < n; i += 16) std::memcpy(to + i, text + i, 16);
      std::memcpy(to + n - 16, text + n - 16, 16);
    } else if (n >= 8 && n < 16) {
      std::memcpy(to, text, 8);
      std::memcpy(to + n - 8, text + n - 8, 8);
    } else if (n < 8) {
      for (std::size_t i = 0; i < n; ++i) to[i] = text[i];
    } else {
      CopyLong(to, text, n);
    }
  }
  TIWRowsText& operator+=(std::string_view text) {
    append(text.data(), text.size());
    return *this;
  }
  TIWRowsText& operator+=(char c) {
    append(&c, 1);
    return *this;
  }
  // Gives back the room beyond the text, for a text shorter than kCompactBelow; a longer one
  // keeps it for the next rendering.
  void Compact() {
    if (size_ >= kCompactBelow || capacity_ - size_ < 4096) return;
    auto bytes = std::make_unique_for_overwrite<char[]>(size_);
    std::memcpy(bytes.get(), bytes_.get(), size_);
    bytes_ = std::move(bytes);
    capacity_ = size_;
  }

 private:
  static constexpr std::size_t kCompactBelow = 256 * 1024;

  [[gnu::noinline]] static void CopyLong(char* to, const char* text, std::size_t n) { std::memcpy(to, text, n); }

  // Grown without filling: the part not yet written stays untouched, so it costs no resident
  // memory in an idle session.
  void Grow(std::size_t needed) {
    const std::size_t capacity = std::max(2 * capacity_, needed + 4096);
    auto bytes = std::make_unique_for_overwrite<char[]>(capacity);
    if (size_ > 0) std::memcpy(bytes.get(), bytes_.get(), size_);
    bytes_ = std::move(bytes);
    capacity_ = capacity;
  }

  std::unique_ptr<char[]> bytes_;
  std::size_t capacity_ = 0;
  std::size_t size_ = 0;
};

class TIWDBGrid::RowWriter {
 public:
  // Looks up every visible column's fields: an unknown DataField or LinkField fails here,
  // with the dataset's "Field '%s' not found", before the dataset moves.
  RowWriter(TIWDBGrid& grid, TDataSet& dataSet, TIWComponent40Context& context);

  void WriteTitles(TIWRowsText& out);
  // The row of the dataset's current record, number n from 1.
  void WriteRow(TIWRowsText& out, int n, bool current);
  void WriteFooters(TIWRowsText& out);

 private:
  struct Column {
    explicit Column(TIWDBGridColumn& c) : column(&c), copy(c.WorkingCopy()) {}

    TIWDBGridColumn* column;
    int index = 0;         // in Columns
    int visibleIndex = 0;  // among the visible columns
    TField* field = nullptr;
    TField* link = nullptr;
    TIWGridCell copy;
    TIWCellMarkup markup;
    // The cell around a text that is not blank: its start tag and font, and their ends.
    std::string textOpen;
    std::string textClose;
    // With an anchor (a link without row click): the anchor up to the link value, from it up
    // to the text, and its end; and the same with the cell's own pieces around them.
    std::string anchorOpen;
    std::string anchorMiddle;
    std::string anchorClose;
    std::string linkOpen;
    std::string linkClose;
    // In a row of prepared cells only: this cell's end and the next cell's start (or the
    // row's end) in one piece.
    std::string glue;
  };

  // The text of a data cell before escaping: a memo or blob cut to BlobCharLimit, nothing
  // for a picture, otherwise the display text; a view of the stored value or of value_.
  std::string_view FieldText(const Column& c, bool rowLink);
  // The row's cells when every one is written from its prepared pieces, and when some are not
  // (an embedded control in the current row, OnRenderCell).
  void WritePreparedCells(TIWRowsText& out);
  void WriteCells(TIWRowsText& out, int n, bool current);
  // A cell whose text needs more than the prepared pieces (an embedded control, OnRenderCell);
  // `text` null for the column's own text.
  void WriteCell(TIWRowsText& out, const Column& c, const std::string* text, int n, bool current);

  TIWDBGrid& grid_;
  TIWComponent40Context& context_;
  std::vector<Column> columns_;
  const Column* rowClickColumn_ = nullptr;
  bool highlighting_ = false;
  std::string e_;
  std::string p_;
  bool anyControl_ = false;
  std::string rowOpen_;       // "\r\n  <tr ID=\"" + the grid's number
  std::string mouseOut_;      // "\" OnMouseOut=\"rollon_E(" + the grid's number
  std::string mouseOver_;     // ",'')\" OnMouseOver=\"rollon_E(" + the grid's number
  std::string headEnd_;       // ",'over')\"" with roll-over, else "\""
  std::string rowClickOpen_;  // " OnClick=\"SubmitClickConfirm('E','<index>_"
  // " BGCOLOR=\"<colour>\"", or empty without the colour.
  std::string currentColor_;
  std::string alternateColor_;
  std::string highlightColor_;
  // ">" and the indicator cell, of another row and of the current one; the same followed by
  // the first cell's start (the row's end without cells).
  std::string bodyStart_[2];
  std::string bodyOpen_[2];
  std::string rowEnd_;
  // Reused for every cell.
  std::string value_;
  std::string text_;
  std::string cell_;
  std::string control_;
};

}  // namespace qx
