// TObject and TPersistent: the roots of every class that has a class name and published
// properties. QX_CLASS gives a class its own TClassInfo (name, parent, property table).
#pragma once

#include <string>

namespace qx {

class TClassInfo;

// Declares the class-info members of a class; put it first in the class body (it leaves the
// access at public). The matching StaticClassInfo() is defined in the class's .cpp file with
// TClassBuilder (ClassInfo.h). A class without it reports its nearest declared ancestor's name.
#define QX_CLASS(Self, Base)                                 \
 public:                                                     \
  using ThisClass = Self;                                    \
  using Inherited = Base;                                    \
  static const ::qx::TClassInfo& StaticClassInfo();          \
  const ::qx::TClassInfo& ClassInfo() const override {       \
    return StaticClassInfo();                                \
  }

class TObject {
 public:
  using ThisClass = TObject;
  virtual ~TObject() = default;

  static const TClassInfo& StaticClassInfo();
  virtual const TClassInfo& ClassInfo() const { return StaticClassInfo(); }
  const std::string& ClassName() const;
  bool InheritsFrom(const TClassInfo& ancestor) const;

 protected:
  TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;
};

// An object whose published properties can be set by name: nested property objects (fonts,
// border options), collection items, and components.
class TPersistent : public TObject {
  QX_CLASS(TPersistent, TObject)

 protected:
  TPersistent() = default;
  TPersistent(const TPersistent&) = default;
  TPersistent& operator=(const TPersistent&) = default;
};

}  // namespace qx
