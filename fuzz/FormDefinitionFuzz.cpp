// Fuzz target: the form-definition reader. Any text, read into a new application form of a
// session with every control class registered, gives a form or a failure of the reader (or
// of a property's own check) that names what is wrong; nothing is left behind either way.
#include <cstdint>
#include <string_view>

#include "controls/ControlsUnit.h"
#include "forms/FormsSession.h"
#include "runtime/FormParser.h"
#include "runtime/FormReader.h"

using namespace qx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static test::FormsSession* session = [] {
    auto* s = new test::FormsSession;
    InitializeControlsUnit();
    s->StartSession();
    return s;
  }();
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    formdef::ParseDefinition("Fuzz.qxf", text);
  } catch (const EFormReadError&) {
  }
  const int before = session->App().ComponentCount();
  {
    Owned<TIWAppForm> form(new TIWAppForm);
    try {
      ReadComponentDefinition(*form, "Fuzz.qxf", text);
    } catch (const Exception&) {
    }
  }
  if (session->App().ComponentCount() != before) __builtin_trap();
  return 0;
}
