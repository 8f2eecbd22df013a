// Failures of the service: exceptions that carry a fixed English message and a class name.
// Replies and logs show both, so every class reports its own name through ClassName().
#pragma once

#include <exception>
#include <string>

namespace qx {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const noexcept { return message_; }
  void SetMessage(std::string message) { message_ = std::move(message); }
  virtual const char* ClassName() const noexcept { return "Exception"; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// Declares an exception class that reports its own name.
#define QX_EXCEPTION_CLASS(Name, Base)                                       \
  class Name : public Base {                                                 \
   public:                                                                   \
    using Base::Base;                                                        \
    const char* ClassName() const noexcept override { return #Name; }        \
  }

// Ends an event handler silently: the runtime catches it and shows nothing.
QX_EXCEPTION_CLASS(EAbort, Exception);
QX_EXCEPTION_CLASS(EConvertError, Exception);
QX_EXCEPTION_CLASS(EInOutError, Exception);

[[noreturn]] void Abort();

// Class name of any exception, for replies that show it ("std::exception" types included).
const char* ExceptionClassName(const std::exception& e) noexcept;

}  // namespace qx
