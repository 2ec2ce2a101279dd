#include <gtest/gtest.h>

#include "GbkText.h"
#include "TCsvText.h"

namespace {

TEST(CsvText, QuotedFieldsKeepCommasQuotesAndLineBreaksAndTheStartingLine) {
  const auto records = TCsvText::Parse("a,b\r\n\"x,1\",\"say \"\"hi\"\"\"\n\n\"two\nlines\",z\n");
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[1].Fields, (std::vector<std::string>{"x,1", "say \"hi\""}));
  EXPECT_EQ(records[2].Line, 4);
  EXPECT_EQ(records[2].Fields[0], "two\nlines");
  const std::vector<std::string> fields{"p,q", "r\"s", " t", "编号"};
  EXPECT_EQ(TCsvText::Parse(TCsvText::FormatRecord(fields))[0].Fields, fields);
}

TEST(CsvText, EncodingIsDetectedFromTheBytes) {
  const std::string gbk = "编号,单价";
  const std::string utf8 = GbkText::ToUtf8(gbk);
  EXPECT_EQ(TCsvText::ToGbk(gbk, TFileEncoding::Detect), gbk);
  EXPECT_EQ(TCsvText::ToGbk(utf8, TFileEncoding::Detect), gbk);
  EXPECT_EQ(TCsvText::ToGbk("\xEF\xBB\xBF" + utf8, TFileEncoding::Detect), gbk);
  EXPECT_EQ(TCsvText::ToGbk(gbk, TFileEncoding::Gbk), gbk);
}

}  // namespace
