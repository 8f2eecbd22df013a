// Focus colours and Required checks of the input controls.
#include "controls/InputRules.h"

#include <string>

#include "forms/PageContext.h"
#include "forms/ScriptEvents.h"
#include "forms/TextHelpers.h"
#include "runtime/Format.h"

namespace qx {

const char* const kRequiredField = "%s is a required field.";
const char* const kSelectionRequired = "A value must be selected for %s.";

void AddFocusColor(TIWScriptEvents& events, TColor focusColor, TColor background,
                   std::string_view tail) {
  if (focusColor == clNone) return;
  const std::string paint = "this.style.backgroundColor='";
  events.HookEvent("OnFocus", paint + ColorText(focusColor) + std::string(tail));
  events.HookEvent("OnBlur", paint + ColorText(background) + std::string(tail));
}

void AddRequiredValue(TIWPageContext40& page, std::string_view elementName,
                      std::string_view friendlyName) {
  const std::string e(elementName);
  page.AddValidation(e + "IWCL != null && " + e + "IWCL.value.length==0",
                     Format(kRequiredField, {friendlyName}));
}

void AddRequiredSelection(TIWPageContext40& page, std::string_view elementName,
                          std::string_view friendlyName) {
  const std::string e(elementName);
  page.AddValidation(e + "IWCL != null && " + e + "IWCL.value==\"-1\"",
                     Format(kSelectionRequired, {friendlyName}));
}

}  // namespace qx
