// Partial-update elements of controls.
#include "controls/UpdateElement.h"

#include "runtime/Strings.h"

namespace qx {

std::unique_ptr<TIWMarkupLanguageTag> UpdateElement(std::string_view elementName,
                                                    std::string_view type) {
  auto control = TIWXMLTag::Create("control", ctAlways);
  control->AddStringParam("id", elementName);
  control->AddStringParam("type", type);
  return control;
}

void AddUpdateValue(TIWMarkupLanguageTag& control, std::string_view name, std::string_view value) {
  TIWMarkupLanguageTag& item = control.AddTag(name, ctAlways);
  item.SetPreformatted(true);
  item.AddText("<![CDATA[" + StringReplace(value, "]]>", "]]]]><![CDATA[>") + "]]>");
}

}  // namespace qx
