// The shared list-box routines: an address added once whatever its letter case, the listed one
// selected only when asked, the selected items removed from single and multiple lists, and the
// comma text of the recipients.
#include <gtest/gtest.h>

#include "controls/IWListbox.h"
#include "runtime/Component.h"
#include "runtime/StringList.h"
#include "screens/ListRoutines.h"

namespace qx::test {
namespace {

TEST(AddUniqueItem, AppendsNewTextsAndSelectsAListedOneOnlyWhenAsked) {
  Owned<TIWListbox> list(new TIWListbox);
  EXPECT_TRUE(AddUniqueItem(*list, "ana@mail.es", true));
  EXPECT_TRUE(AddUniqueItem(*list, "jos\xE9@mail.es", true));
  EXPECT_TRUE(AddUniqueItem(*list, "bea@mail.es", false));
  // Appended in order, and adding selects nothing.
  EXPECT_EQ(list->Items().Lines(), (TStringList{"ana@mail.es", "jos\xE9@mail.es", "bea@mail.es"}));
  EXPECT_EQ(list->ItemIndex(), -1);

  // Listed with other letter case (accented letters too): nothing added, selected when asked.
  EXPECT_FALSE(AddUniqueItem(*list, "JOS\xC9@MAIL.ES", false));
  EXPECT_EQ(list->ItemIndex(), -1);
  EXPECT_FALSE(AddUniqueItem(*list, "Jos\xC9@Mail.es", true));
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_FALSE(AddUniqueItem(*list, "ANA@mail.es", false));
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(list->Items().Count(), 3);

  // Only the whole text matches; a new text keeps the selection where it was.
  EXPECT_TRUE(AddUniqueItem(*list, "ana@mail.es.", true));
  EXPECT_EQ(list->Items().Count(), 4);
  EXPECT_EQ(list->Items()[3], "ana@mail.es.");
  EXPECT_EQ(list->ItemIndex(), 1);
}

TEST(DeleteSelectedItems, RemovesTheSelectionAndNothingElse) {
  Owned<TIWListbox> list(new TIWListbox);
  list->SetItems(TStringList{"a", "b", "c", "d", "e"});
  // Nothing selected: nothing goes.
  DeleteSelectedItems(*list);
  EXPECT_EQ(list->Items().Count(), 5);
  // One selected item goes and nothing stays selected.
  list->SetItemIndex(4);
  DeleteSelectedItems(*list);
  EXPECT_EQ(list->Items().Lines(), (TStringList{"a", "b", "c", "d"}));
  EXPECT_EQ(list->ItemIndex(), -1);
  list->SetItemIndex(1);
  DeleteSelectedItems(*list);
  EXPECT_EQ(list->Items().Lines(), (TStringList{"a", "c", "d"}));

  // A multiple selection goes whole, whatever the order it was made in.
  list->SetItems(TStringList{"a", "b", "c", "d", "e"});
  list->SetMultiSelect(true);
  list->SetItemIndex(3);
  list->SetItemIndex(0);
  list->SetItemIndex(4);
  DeleteSelectedItems(*list);
  EXPECT_EQ(list->Items().Lines(), (TStringList{"b", "c"}));
  EXPECT_TRUE(list->Selection().empty());
  EXPECT_FALSE(list->Selected(0));
  EXPECT_FALSE(list->Selected(1));
}

TEST(CommaText, QuotesOnlyItemsWithASpaceACommaOrAQuote) {
  EXPECT_EQ(CommaText({}), "");
  EXPECT_EQ(CommaText({"ana@mail.es"}), "ana@mail.es");
  EXPECT_EQ(CommaText({"ana@mail.es", "ana maria@mail.es", "o\"neil@mail.ie", "a,b@mail.es",
                       "", "jos\xE9;x@mail.es"}),
            "ana@mail.es,\"ana maria@mail.es\",\"o\"\"neil@mail.ie\",\"a,b@mail.es\",,"
            "jos\xE9;x@mail.es");
}

}  // namespace
}  // namespace qx::test
