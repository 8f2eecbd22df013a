// The list-box routines the screens share, over the list box's items and selection.
#include "screens/ListRoutines.h"

#include "controls/IWListbox.h"
#include "runtime/StringList.h"

namespace qx {

bool AddUniqueItem(TIWCustomListbox& list, std::string_view text, bool selectExisting) {
  const int existing = list.Items().IndexOf(text);
  if (existing < 0) {
    list.Items().Add(text);
    return true;
  }
  if (selectExisting) list.SetItemIndex(existing);
  return false;
}

void DeleteSelectedItems(TIWCustomListbox& list) {
  // From the last item down, so that the indexes still to be visited do not move.
  for (int i = list.Items().Count() - 1; i >= 0; --i)
    if (list.Selected(i)) list.Items().Delete(i);
}

std::string CommaText(const TStringList& items) {
  std::string text;
  for (const std::string& item : items) {
    if (&item != &*items.begin()) text += ',';
    if (item.find_first_of(" ,\"") == std::string::npos) {
      text += item;
      continue;
    }
    text += '"';
    for (char c : item) text.append(c == '"' ? 2 : 1, c);
    text += '"';
  }
  return text;
}

}  // namespace qx
