// The syntax of form definitions: text → a tree of object blocks with property values and
// their line numbers. Nothing is created here, so a syntax error costs nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qx::formdef {

struct Property;

struct Value {
  enum class Kind {
    Integer,   // 12, -3, $00FF00
    Float,     // 1.5
    String,    // 'text'#233'more' (Windows-1252 bytes)
    Ident,     // alClient, True, btnAceptarClick, usSesion.Connection
    Set,       // [akLeft, akTop]
    List,      // ( 'line' 'line' )
    Binary,    // { FFD8 FFE0 }
    Resource,  // resource 'LoginIcon.jpg'
    Items,     // < item … end … >
  };
  Kind kind = Kind::Integer;
  int line = 0;
  std::int64_t integer = 0;
  double number = 0;
  std::string text;                          // String, Ident, Binary bytes, Resource name
  std::vector<std::string> names;            // Set identifiers, List lines
  std::vector<std::vector<Property>> items;  // Items: the property lines of each item
};

struct Property {
  std::string path;  // Caption, Font.Size
  Value value;
  int line = 0;
};

struct ObjectDef {
  bool inherited = false;  // "inherited": changes a component that already exists
  std::string name;
  std::string className;
  int line = 0;
  std::vector<Property> properties;
  std::vector<ObjectDef> children;
};

// Parses a whole definition (one root "object" block). Fails with EFormReadError naming the
// resource and line.
ObjectDef ParseDefinition(std::string_view resourceName, std::string_view text);

}  // namespace qx::formdef
