#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TClientOrder.h"

namespace {

struct SplitCase {
  const char* Sql;
  const char* WithoutOrder;  // "" when the server keeps the order
  const char* Terms;         // "Column[-]" joined by ',' ('-' for DESC)
};

std::string TermsText(const std::vector<TClientOrder::Term>& terms) {
  std::string text;
  for (const TClientOrder::Term& term : terms)
    text += (text.empty() ? "" : ",") + term.Column + (term.Descending ? "-" : "");
  return text;
}

class ClientOrderSplit : public ::testing::TestWithParam<SplitCase> {};

// The order moves to the client only when the rows alone decide it: plain
// columns the select list returns; anything the server would have to
// compute, limit or combine keeps the server's order.
INSTANTIATE_TEST_SUITE_P(
    Statements, ClientOrderSplit,
    ::testing::Values(
        SplitCase{"Select * from TJItem Where 1=1 Order By ItemType, ItemName ASC",
                  "Select * from TJItem Where 1=1", "ItemType,ItemName"},
        SplitCase{"select CateName, CateID from TJCategories order by CateName desc;",
                  "select CateName, CateID from TJCategories", "CateName-"},
        SplitCase{"Select * from T where Code in (select Code from U order by Code) order by Name",
                  "Select * from T where Code in (select Code from U order by Code)", "Name"},
        SplitCase{"Select * from T where Name = 'x order by y' order by Name",
                  "Select * from T where Name = 'x order by y'", "Name"},
        // The server keeps these.
        SplitCase{"select CateName, CateID from TJCategories order by 2 desc", "", ""},
        SplitCase{"select CateID from TJCategories order by CateName", "", ""},
        SplitCase{"select * from T order by upper(Name)", "", ""},
        SplitCase{"select * from T order by Name limit 5", "", ""},
        SplitCase{"select top 5 * from T order by Name", "", ""},
        SplitCase{"select distinct Name from T order by Name", "", ""},
        SplitCase{"select Name from T union select Name from U order by Name", "", ""},
        SplitCase{"select * from T order by Name -- last", "", ""},
        SplitCase{"select * from T order by \"Name\"", "", ""},
        SplitCase{"select * from T order by Name collate \"C\"", "", ""},
        SplitCase{"select count(*) from T", "", ""}, SplitCase{"update T set A = 1", "", ""}));

TEST_P(ClientOrderSplit, SendsWithoutTheOrderOnlyWhatTheClientCanOrder) {
  std::string withoutOrder = "(untouched)";
  const auto terms = TClientOrder::Split(GetParam().Sql, withoutOrder);
  EXPECT_EQ(TermsText(terms), GetParam().Terms);
  if (terms.empty())
    EXPECT_EQ(withoutOrder, "(untouched)");
  else
    EXPECT_EQ(withoutOrder, GetParam().WithoutOrder);
}

// GBK bytes as the server's key orders them: single-byte letters without
// case, never a trail byte (0x41..0x5A occur as trail bytes of GBK
// characters), shorter first when one text begins the other.
TEST(ClientOrderCompare, GbkBytesWithSingleByteLettersWithoutCase) {
  EXPECT_EQ(TClientOrder::CompareGbk("abc", "ABC"), 0);
  EXPECT_LT(TClientOrder::CompareGbk("ab", "ABC"), 0);
  EXPECT_LT(TClientOrder::CompareGbk("Z", "\xB0\xA1"), 0);  // ASCII before 啊
  // 丂 is 0x81 0x40, 丄 is 0x81 0x41 ('A' as a trail byte): no folding.
  EXPECT_LT(TClientOrder::CompareGbk("\x81\x41", "\x81\x61"), 0);
  EXPECT_GT(TClientOrder::CompareGbk("\x81\x61", "\x81\x41"), 0);
  EXPECT_LT(TClientOrder::CompareGbk("10", "9"), 0);  // text, not numbers
}

}  // namespace
