// Printing of the admin commands' results.
#include "tools/AdminOutput.h"

#include <algorithm>

#include "data/DataSet.h"
#include "data/Field.h"
#include "runtime/Format.h"
#include "runtime/Strings.h"

namespace qx::admin {
namespace {

constexpr const char* kPicture = "JPEG picture, %d bytes";
constexpr const char* kBytes = "%d bytes";

// Characters, not bytes: cells are UTF-8.
std::size_t Width(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

}  // namespace

std::string FieldText(const TField& field) {
  if (field.IsNull()) return {};
  switch (field.DataType()) {
    case ftBoolean:
      return field.AsBoolean() ? "yes" : "no";
    case ftBlob:
    case ftGraphic: {
      const std::string bytes = field.AsBytes();
      const bool jpeg = bytes.starts_with("\xFF\xD8");
      return Format(jpeg ? kPicture : kBytes, {static_cast<int>(bytes.size())});
    }
    default:
      return AnsiToUtf8(field.AsString());
  }
}

void PrintTable(std::ostream& out, const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::size_t> widths;
  for (const auto& row : rows) {
    widths.resize(std::max(widths.size(), row.size()));
    for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], Width(row[i]));
  }
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
      line += row[i];
      if (i + 1 < row.size()) line.append(widths[i] - Width(row[i]) + 2, ' ');
    }
    out << TrimRight(line) << "\n";
  }
}

void PrintRows(std::ostream& out, std::vector<std::string> headings, TDataSet& dataset) {
  std::vector<std::vector<std::string>> rows = {std::move(headings)};
  for (; !dataset.Eof(); dataset.Next()) {
    std::vector<std::string>& row = rows.emplace_back();
    for (int i = 0; i < dataset.FieldCount(); ++i)
      row.push_back(StringReplace(StringReplace(FieldText(dataset.Fields(i)), "\r\n", " / "), "\n", " / "));
  }
  PrintTable(out, rows);
}

void PrintRecord(std::ostream& out, const TDataSet& dataset,
                 std::initializer_list<std::string_view> secret) {
  std::size_t width = 0;
  for (int i = 0; i < dataset.FieldCount(); ++i)
    width = std::max(width, dataset.Fields(i).FieldName().size());
  for (int i = 0; i < dataset.FieldCount(); ++i) {
    const TField& field = dataset.Fields(i);
    std::string value = FieldText(field);
    if (std::any_of(secret.begin(), secret.end(),
                    [&](std::string_view name) { return SameText(name, field.FieldName()); }))
      value = value.empty() ? "(none)" : "(set)";
    out << field.FieldName() << ":";
    if (!value.empty()) out << std::string(width - field.FieldName().size() + 1, ' ') << value;
    out << "\n";
  }
}

}  // namespace qx::admin
