// Rules the input controls share: the background colour while they have the focus, and the
// Required checks their page's Validate() runs before a post.
#pragma once

#include <string_view>

#include "runtime/Colors.h"

namespace qx {

class TIWPageContext40;
class TIWScriptEvents;

extern const char* const kRequiredField;      // Format: the control's FriendlyName
extern const char* const kSelectionRequired;  // Format: the control's FriendlyName

// OnFocus paints the focus colour, OnBlur the background again; each handler ends in `tail`
// ("'; return true;" for edits, "';" for lists). Nothing when no focus colour is set.
void AddFocusColor(TIWScriptEvents& events, TColor focusColor, TColor background,
                   std::string_view tail);

// The page refuses to post while the control's value is empty.
void AddRequiredValue(TIWPageContext40& page, std::string_view elementName,
                      std::string_view friendlyName);
// The page refuses to post while the list or combo box has no selection (its value is -1).
void AddRequiredSelection(TIWPageContext40& page, std::string_view elementName,
                          std::string_view friendlyName);

}  // namespace qx
