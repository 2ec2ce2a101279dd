#include <gtest/gtest.h>

#include "EInvalidFormatError.h"
#include "TComplexValue.h"

namespace {

const char* const kSeparatorMessage = "无效格式，变量之间至少要有一个分割符。";
const char* const kNoVariableMessage = "无效格式，请使用如：{变量名}的格式。";

// The message the parser raises for `text`, or "" when it accepts it.
std::string ParseMessage(const std::string& text) {
  TComplexValue parser;
  try {
    parser.Parse(text);
  } catch (const EInvalidFormatError& error) {
    return error.Message();
  }
  return "";
}

}  // namespace

TEST(TComplexValue, ValidFormatsKeepPrefixNameAndSuffixOfEachVariable) {
  TComplexValue parser;
  parser.Parse("x{a}-{b}mg");
  ASSERT_EQ(parser.Params().size(), 2u);
  EXPECT_EQ(parser.Params()[0].Prefix, "x");
  EXPECT_EQ(parser.Params()[0].Name, "a");
  EXPECT_EQ(parser.Params()[0].Suffix, "-");
  EXPECT_EQ(parser.Params()[1].Prefix, "-");
  EXPECT_EQ(parser.Params()[1].Name, "b");
  EXPECT_EQ(parser.Params()[1].Suffix, "mg");

  parser.Parse("{a}");
  ASSERT_EQ(parser.Params().size(), 1u);
  EXPECT_EQ(parser.Params()[0].Name, "a");
  EXPECT_EQ(parser.Params()[0].Prefix, "");

  parser.Parse("");
  EXPECT_TRUE(parser.Params().empty());
}

TEST(TComplexValue, InvalidFormatsRaiseTheMatchingMessage) {
  EXPECT_EQ(ParseMessage("{a}{b}"), kSeparatorMessage);
  EXPECT_EQ(ParseMessage("{a}/{b}{c}"), kSeparatorMessage);
  EXPECT_EQ(ParseMessage("abc"), kNoVariableMessage);
  EXPECT_EQ(ParseMessage("}{a}"), kNoVariableMessage);
  EXPECT_EQ(ParseMessage("   "), kNoVariableMessage);
  EXPECT_EQ(ParseMessage("{a"), kNoVariableMessage);
  EXPECT_EQ(ParseMessage("{a} {b}"), "");
}

TEST(TComplexValue, ChineseTextAroundVariablesIsKeptWhole) {
  // 收缩压{a}/舒张压{b}: the second byte of some GBK characters is 0x7B or
  // 0x7D ("{" "}"), which must not be taken for a brace.
  const std::string braceTrail = "\x81\x7b\x81\x7d";  // two GBK characters
  TComplexValue parser;
  parser.Parse(braceTrail + "{a}" + braceTrail);
  ASSERT_EQ(parser.Params().size(), 1u);
  EXPECT_EQ(parser.Params()[0].Prefix, braceTrail);
  EXPECT_EQ(parser.Params()[0].Name, "a");
  EXPECT_EQ(parser.Params()[0].Suffix, braceTrail);
  EXPECT_EQ(ParseMessage(braceTrail), kNoVariableMessage);

  parser.Parse("收缩压{高压}/舒张压{低压}mmHg");
  ASSERT_EQ(parser.Params().size(), 2u);
  EXPECT_EQ(parser.Params()[1].Name, "低压");
  EXPECT_EQ(parser.Params()[1].Suffix, "mmHg");
}

TEST(TComplexValue, FailedParseKeepsThePreviousVariables) {
  TComplexValue parser;
  parser.Parse("{a}kg");
  EXPECT_THROW(parser.Parse("{a}{b}"), EInvalidFormatError);
  ASSERT_EQ(parser.Params().size(), 1u);
  EXPECT_EQ(parser.Params()[0].Suffix, "kg");
}
