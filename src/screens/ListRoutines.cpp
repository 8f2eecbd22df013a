// The list-box routines the screens share, over the list box's items and selection.
#include "screens/ListRoutines.h"

#include "controls/IWListbox.h"

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

}  // namespace qx
