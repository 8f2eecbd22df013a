// Failures of the data layer: dataset misuse (EDatabaseError) and failures reported by the
// database engine or the connection (EADOError, which also says what kind of failure it was).
#pragma once

#include "runtime/Exceptions.h"

namespace qx {

// A dataset, field or parameter used wrongly: unknown field, closed dataset, no edit mode...
QX_EXCEPTION_CLASS(EDatabaseError, Exception);

// What went wrong in the engine, for callers that react differently (a caller allocating ids
// may retry after kConstraint; a busy database is reported as kBusy after the busy timeout).
enum class DbErrorKind {
  kOther,
  kFileNotFound,  // the database file does not exist
  kNotADatabase,  // the file exists but is not a database of this engine
  kCannotOpen,    // the file exists but cannot be opened (permissions, a folder ...)
  kBusy,          // another connection held the database for longer than the busy timeout
  kConstraint,    // a key or check constraint refused the write (duplicate key, too long ...)
  kSyntax,        // the engine could not compile the statement
};

// A failure reported by the engine or the connection; the message is the engine's own text
// (or ours, naming the file, for failures to open).
class EADOError : public EDatabaseError {
 public:
  explicit EADOError(std::string message, DbErrorKind kind = DbErrorKind::kOther)
      : EDatabaseError(std::move(message)), kind_(kind) {}
  const char* ClassName() const noexcept override { return "EADOError"; }
  DbErrorKind Kind() const noexcept { return kind_; }

 private:
  DbErrorKind kind_;
};

}  // namespace qx
