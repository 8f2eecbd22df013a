// What the admin commands print: the service's Windows-1252 text shown in UTF-8, tables with
// aligned columns, and every column of a row as "Name: value" lines.
#pragma once

#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace qx {
class TDataSet;
class TField;
}  // namespace qx

namespace qx::admin {

// A value as a person reads it: empty for no value, "yes"/"no" for booleans, the size of a
// picture, dates as the service shows them, text in UTF-8.
std::string FieldText(const TField& field);

// Rows of cells (UTF-8), the first row the headings, each column as wide as its widest cell.
void PrintTable(std::ostream& out, const std::vector<std::vector<std::string>>& rows);

// The headings, then every row of the dataset from its current one, each column's FieldText
// with line breaks shown as " / ", as PrintTable prints them.
void PrintRows(std::ostream& out, std::vector<std::string> headings, TDataSet& dataset);

// Every column of the dataset's current row, one "Name: value" line each; the columns named
// in `secret` show only whether they hold something.
void PrintRecord(std::ostream& out, const TDataSet& dataset,
                 std::initializer_list<std::string_view> secret = {});

}  // namespace qx::admin
