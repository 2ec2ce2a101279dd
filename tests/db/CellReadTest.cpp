// How cells read from a result set: the GBK text of every character of the
// Basic Multilingual Plane, the view of a cell against its copy, and the
// integer reading of texts a backend hands over.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "DbBackendTest.h"
#include "Exceptions.h"
#include "GbkText.h"
#include "TCellText.h"
#include "TDataSet.h"

namespace {

std::string Utf8Of(uint32_t cp) {
  std::string out;
  if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  }
  out += static_cast<char>(0x80 | (cp & 0x3F));
  return out;
}

}  // namespace

// The conversion table is worked out in one pass over all characters; each
// character must still come out as the converter gives it on its own, the
// private-use codes GBK keeps and the characters it lacks included.
TEST(CellTextTest, EveryBmpCharacterConvertsAsTheConverterAloneConvertsIt) {
  int differing = 0;
  for (uint32_t cp = 0x80; cp < 0x10000; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    std::string utf8 = "a";  // appended: "a" + a temporary makes GCC's -O3 warn
    utf8 += Utf8Of(cp);
    utf8 += "b";
    TCellBuffer out;
    TCellText::AppendUtf8AsGbk(out, utf8);
    const std::string mine(out.data(), out.size());
    if (mine != GbkText::FromUtf8(utf8) && ++differing <= 5)
      ADD_FAILURE() << "U+" << std::hex << cp << " converts differently";
  }
  EXPECT_EQ(differing, 0);
}

using CellReadTest = DbBackendTest;
TESMIRA_ALL_BACKENDS(CellReadTest);

TEST_P(CellReadTest, AViewOfACellReadsAsItsCopyForEveryKindOfValue) {
  db.Exec(
      u8"insert into TJItem (ItemID, ItemCode, ItemName, AbCustom, UnitPrice, DispOrder) "
      u8"values (1, '000001', '血常规（全套）檢', '', 12.5, -3)");
  db.Exec(u8"insert into TJItem (ItemID, ItemName) values (2, NULL)");
  TDataSet* set = op->OpenQuery(
      "select ItemID, ItemCode, ItemName, AbCustom, UnitPrice, DispOrder from TJItem "
      "order by ItemID");
  ASSERT_EQ(set->RecordCount(), 2);
  for (set->First(); !set->Eof(); set->Next())
    for (int c = 0; c < set->FieldCount(); ++c)
      EXPECT_EQ(std::string(set->Fields(c).AsView()), set->Fields(c).AsString())
          << "row " << set->RecNo() << ", column " << c;
  set->First();
  EXPECT_EQ(set->FieldByName("ItemName").AsView(), "血常规（全套）檢");
  EXPECT_EQ(set->FieldByName("UnitPrice").AsView(), "12.5");
  set->Next();
  EXPECT_TRUE(set->FieldByName("ItemName").AsView().empty());  // a Null
  const TField code = set->Fields(1);
  set->Close();
  EXPECT_TRUE(code.AsView().empty());  // a closed set has no row
}

struct IntegerCase {
  const char* text;
  int32_t value;  // when it reads
  bool refused;
};

class IntegerTextTest : public DbBackendTest {};
TESMIRA_ALL_BACKENDS(IntegerTextTest);

// Texts a backend may give for a number column: the whole-number fast path
// must read exactly what the general one read before it.
TEST_P(IntegerTextTest, IntegerTextsReadAsBeforeAndOutOfRangeTextsAreRefused) {
  const IntegerCase cases[] = {
      {"7", 7, false},
      {"-7", -7, false},
      {" 7 ", 7, false},
      {"8.0", 8, false},
      {"7.6", 8, false},
      {"", 0, false},
      {"2147483647", 2147483647, false},
      {"-2147483648", INT32_MIN, false},
      {"2147483648", 0, true},
      {"-2147483649", 0, true},
      {"9999999999999999999", 0, true},
      {"abc", 0, true},
  };
  for (const IntegerCase& c : cases) {
    TDataSet* set = op->OpenQuery(std::string("select '") + c.text + "' as n");
    if (c.refused) {
      EXPECT_THROW(set->FieldByName("n").AsInteger(), EDBException) << c.text;
    } else {
      EXPECT_EQ(set->FieldByName("n").AsInteger(), c.value) << c.text;
    }
  }
}
