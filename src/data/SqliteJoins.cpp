// Flattening the nested outer join: a small reader of exactly the shape it rewrites.
#include "data/SqliteJoins.h"

#include <cctype>

namespace qx {
namespace {

// Reads the statement text from a position on; every step either matches and moves on or
// fails and leaves the reader where it was.
class Reader {
 public:
  Reader(std::string_view text, std::size_t at) : text_(text), at_(at) {}

  std::size_t At() const noexcept { return at_; }
  void SkipSpaces() noexcept {
    while (at_ < text_.size() && text_[at_] == ' ') ++at_;
  }
  bool Literal(std::string_view s) noexcept {
    if (text_.substr(at_).substr(0, s.size()) != s) return false;
    at_ += s.size();
    return true;
  }
  std::string_view Word() noexcept {
    const std::size_t start = at_;
    while (at_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[at_])) || text_[at_] == '_')) ++at_;
    return text_.substr(start, at_ - start);
  }
  // "Table" or "Table AS Alias"; `name` gets the name the columns are qualified with.
  std::optional<std::string_view> Table(std::string_view& name) noexcept {
    const std::size_t start = at_;
    name = Word();
    if (name.empty()) return std::nullopt;
    if (Literal(" AS ")) {
      name = Word();
      if (name.empty()) return Fail(start);
    }
    return text_.substr(start, at_ - start);
  }
  // "Table.Column", a quoted text or a whole number; `table` gets the qualifier of a column.
  bool Operand(std::string_view& table) noexcept {
    table = {};
    if (Literal("'")) {
      while (at_ < text_.size()) {
        if (text_[at_++] != '\'') continue;
        if (at_ < text_.size() && text_[at_] == '\'') {
          ++at_;  // a doubled quote inside the text
          continue;
        }
        return true;
      }
      return false;
    }
    const std::string_view first = Word();
    if (first.empty()) return false;
    if (!Literal(".")) return std::isdigit(static_cast<unsigned char>(first[0])) != 0;
    table = first;
    return !Word().empty();
  }
  // "a = b"; `left` and `right` get the tables of the columns compared (empty for values).
  bool Equality(std::string_view& left, std::string_view& right) noexcept {
    SkipSpaces();
    if (!Operand(left)) return false;
    SkipSpaces();
    if (!Literal("=")) return false;
    SkipSpaces();
    return Operand(right);
  }
  // "(a = b AND c = d ...)" with at least one side a column of `table`: false for a NULL row of
  // `table`, whatever the other values.
  std::optional<std::string_view> RejectingNullsOf(std::string_view table) noexcept {
    const std::size_t start = at_;
    bool refersTo = false;
    if (!Literal("(")) return std::nullopt;
    do {
      std::string_view left, right;
      if (!Equality(left, right)) return Fail(start);
      refersTo = refersTo || left == table || right == table;
      SkipSpaces();
    } while (Literal("AND "));
    if (!Literal(")") || !refersTo) return Fail(start);
    return text_.substr(start, at_ - start);
  }
  // " LEFT JOIN J ON (c))", c rejecting the NULL rows of `table`: J as written, the name its
  // columns are qualified with, and c.
  struct Join {
    std::string_view table, name, on;
  };
  std::optional<Join> NestedJoin(std::string_view table) noexcept {
    const std::size_t start = at_;
    Join join;
    SkipSpaces();
    if (!Literal("LEFT JOIN ")) return Fail(start);
    const auto joined = Table(join.name);
    if (!joined || !Literal(" ON ")) return Fail(start);
    join.table = *joined;
    const auto on = RejectingNullsOf(table);
    SkipSpaces();
    if (!on || !Literal(")")) return Fail(start);
    join.on = *on;
    return join;
  }

 private:
  std::nullopt_t Fail(std::size_t start) noexcept {
    at_ = start;
    return std::nullopt;
  }
  std::string_view text_;
  std::size_t at_;
};

// Where `what` first stands outside a quoted text ('' inside one is a quote and leaves it open):
// an address a person typed may read like a join and must stay as typed.
std::size_t FindOutsideQuotes(std::string_view sql, std::string_view what) noexcept {
  bool quoted = false;
  for (std::size_t at = 0; at < sql.size(); ++at) {
    if (sql[at] == '\'') quoted = !quoted;
    else if (!quoted && sql.substr(at, what.size()) == what) return at;
  }
  return std::string_view::npos;
}

}  // namespace

std::optional<std::string> FlattenNestedOuterJoin(std::string_view sql) {
  constexpr std::string_view kNested = "LEFT JOIN ((";
  const std::size_t join = FindOutsideQuotes(sql, kNested);
  if (join == std::string_view::npos) return std::nullopt;
  Reader r(sql, join + kNested.size());
  std::string_view name;
  const auto inner = r.Table(name);
  if (!inner) return std::nullopt;
  const auto first = r.NestedJoin(name);
  const auto second = first ? r.NestedJoin(name) : std::nullopt;
  r.SkipSpaces();
  if (!second || !r.Literal("ON ")) return std::nullopt;
  // The outer condition joins the outer side to T alone: J1 and J2 come after it once flat.
  const std::size_t onStart = r.At();
  std::string_view left, right;
  if (!r.Equality(left, right) || (left != name && right != name)) return std::nullopt;
  for (std::string_view joined : {first->name, second->name})
    if (left == joined || right == joined) return std::nullopt;

  std::string flat(sql.substr(0, join));
  flat.append("LEFT JOIN ").append(*inner).append(" ON ").append(sql.substr(onStart, r.At() - onStart));
  for (const auto& nested : {*first, *second})
    flat.append(" LEFT JOIN ").append(nested.table).append(" ON ").append(nested.on);
  flat.append(sql.substr(r.At()));
  return flat;
}

}  // namespace qx
