#include <gtest/gtest.h>

#include "GbkText.h"
#include "ModulePath.h"
#include "TDateTime.h"

TEST(GbkText, RoundTripsChineseAndAscii) {
  const std::string gbk = "血常规 O'Brien";  // a GBK literal
  const std::string utf8 = reinterpret_cast<const char*>(u8"血常规 O'Brien");
  EXPECT_EQ(GbkText::ToUtf8(gbk), utf8);
  EXPECT_EQ(GbkText::FromUtf8(utf8), gbk);
  EXPECT_EQ(GbkText::ToUtf8("plain"), "plain");
}

TEST(GbkText, CharacterOutsideGbkIsNotLost) {
  const std::string utf8 = reinterpret_cast<const char*>(u8"𠀀x");  // CJK extension B
  EXPECT_EQ(GbkText::ToUtf8(GbkText::FromUtf8(utf8)), utf8);
  // Private-use characters that GBK encodes but the converter refuses keep
  // their GBK code (read back as the vertical form and the ideograph that
  // GB18030 now gives that code).
  const std::string privateUse = reinterpret_cast<const char*>(u8"\uE78D\uE816");
  EXPECT_EQ(GbkText::FromUtf8(privateUse), "\xA6\xD9\xFE\x51");
  EXPECT_EQ(GbkText::ToUtf8(GbkText::FromUtf8(privateUse)),
            reinterpret_cast<const char*>(u8"\uFE10\U00020087"));
}

TEST(GbkText, BrokenInputIsReplacedNotDropped) {
  EXPECT_EQ(GbkText::ToUtf8(std::string("a\xFF")), "a\xEF\xBF\xBD");
  EXPECT_EQ(GbkText::FromUtf8(std::string("a\xC3")), "a?");
}

// Two-byte codes convert by a table worked out from the converter; a text
// holding a four-byte GB18030 code goes through the converter whole. Both
// must give the same bytes for every code, valid or not.
TEST(GbkText, EveryTwoByteCodeReadsAsTheConverterReadsIt) {
  const std::string fourByte = "\x81\x30\x81\x30";  // U+0080
  const std::string fourByteUtf8 = GbkText::ToUtf8(fourByte);
  ASSERT_EQ(fourByteUtf8, "\xC2\x80");
  int mismatches = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead)
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      const std::string text = {'a', static_cast<char>(lead), static_cast<char>(trail), 'b'};
      if (GbkText::ToUtf8(text) + fourByteUtf8 == GbkText::ToUtf8(text + fourByte)) continue;
      if (++mismatches <= 5) ADD_FAILURE() << "lead " << lead << ", trail " << trail;
    }
  EXPECT_EQ(mismatches, 0);
  // A lead byte at the end of the text has no pair.
  EXPECT_EQ(GbkText::ToUtf8(std::string("\xD1\xAA\xB3")), "\xE8\xA1\x80\xEF\xBF\xBD");
}

TEST(ModulePath, DirectoryRules) {
  EXPECT_EQ(ModulePath::DirectoryOf("/opt/tesmira/libtesmira.so"), "/opt/tesmira/");
  // A prefix in front of a drive letter disappears.
  EXPECT_EQ(ModulePath::DirectoryOf("\\\\?\\C:\\dir\\tesmira.dll"), "C:\\dir\\");
  EXPECT_EQ(ModulePath::DirectoryOf("C:\\dir\\tesmira.dll"), "C:\\dir\\");
  EXPECT_EQ(ModulePath::DirectoryOf("libtesmira.so"), "");
  EXPECT_FALSE(ModulePath::OwnModuleFileName().empty());
}

TEST(TDateTime, DatesFormatAndParse) {
  TDateTime d = TDateTime::FromDate(2026, 12, 9);
  EXPECT_EQ(d.FormatDate(), "2026-12-09");
  EXPECT_EQ(TDateTime::Parse("2026-12-09").Days(), d.Days());
  EXPECT_EQ(TDateTime::Parse("2026-12-09 13:30:00").FormatDateTime(), "2026-12-09 13:30:00");
  EXPECT_EQ(TDateTime::FromDate(1899, 12, 30).Days(), 0.0);
  EXPECT_THROW(TDateTime::Parse("09/12/2026"), std::exception);
}
