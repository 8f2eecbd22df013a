// The list-box routines the screens share: adding an item once (letter case ignored),
// removing the selected items, and the items as one comma-separated text.
#pragma once

#include <string>
#include <string_view>

namespace qx {

class TIWCustomListbox;
class TStringList;

// Appends `text` and answers true, unless an item equal to it without regard to letter case is
// already listed: then nothing is added, that item is selected when `selectExisting` is true,
// and the answer is false.
bool AddUniqueItem(TIWCustomListbox& list, std::string_view text, bool selectExisting);
// Removes every selected item.
void DeleteSelectedItems(TIWCustomListbox& list);
// The items joined by commas; an item holding a space, a comma or a double quote is put in
// double quotes with its inner double quotes doubled, so that the text splits back into the
// same items.
std::string CommaText(const TStringList& items);

}  // namespace qx
