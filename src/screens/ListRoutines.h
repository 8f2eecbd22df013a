// The list-box routines the screens share: adding an item once (letter case ignored) and
// removing the selected items.
#pragma once

#include <string_view>

namespace qx {

class TIWCustomListbox;

// Appends `text` and answers true, unless an item equal to it without regard to letter case is
// already listed: then nothing is added, that item is selected when `selectExisting` is true,
// and the answer is false.
bool AddUniqueItem(TIWCustomListbox& list, std::string_view text, bool selectExisting);
// Removes every selected item.
void DeleteSelectedItems(TIWCustomListbox& list);

}  // namespace qx
