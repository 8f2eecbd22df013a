// The "control" element a control sends in a partial-update or callback reply: its element
// name, its type and one child element per property the client updates.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "forms/MarkupTag.h"

namespace qx {

// <control id="E" type="TYPE"></control>
std::unique_ptr<TIWMarkupLanguageTag> UpdateElement(std::string_view elementName,
                                                    std::string_view type);

// Adds <name><![CDATA[value]]></name>; a "]]>" inside the value is split across two sections
// so that any text survives the trip.
void AddUpdateValue(TIWMarkupLanguageTag& control, std::string_view name, std::string_view value);

}  // namespace qx
