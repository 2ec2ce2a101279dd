#include <gtest/gtest.h>

#include "Exceptions.h"
#include "Format.h"

TEST(Format, PlaceholdersTakeArgumentsInOrder) {
  EXPECT_EQ(FormatText("%s=%d, %f", {"a", 7, 12.5}), "a=7, 12.50");
  EXPECT_EQ(FormatText("%d%%", {true}), "1%");
  EXPECT_EQ(FormatText("[%6d|%-3s]", {42, "x"}), "[    42|x  ]");
  EXPECT_EQ(FormatText("%.3f", {2.0}), "2.000");
}

TEST(Format, IndexedPlaceholdersReuseAndContinue) {
  const char* tmpl = "MAX(%s) ... MAX(%000:s) + 1 FROM %s";
  EXPECT_EQ(FormatText(tmpl, {"Key", "T"}), "MAX(Key) ... MAX(Key) + 1 FROM T");
  EXPECT_EQ(FormatText("%s %0:s %s", {"a", "b"}), "a a b");
}

TEST(Format, MissingArgumentIsAnError) {
  EXPECT_THROW(FormatText("%s %s", {"only"}), Exception);
  EXPECT_THROW(FormatText("%d", {"text"}), Exception);
}

TEST(FormatSql, QuotesDoubledInsideLiteralsOnly) {
  EXPECT_EQ(FormatSql("where Name='%s' and T=%s", {"O'Brien", "x'y"}),
            "where Name='O''Brien' and T=x'y");
  // A literal that holds other text around the placeholder.
  EXPECT_EQ(FormatSql("'%s;%s'", {"a'", "'b"}), "'a'';''b'");
  // Quotes of the template itself keep the literal state right.
  EXPECT_EQ(FormatSql("'%s', %s, '%s'", {"1'", "2'", "3'"}), "'1''', 2', '3'''");
}

TEST(FormatSql, GbkTextWithQuoteSurvives) {
  const std::string name = "O'Brien 血糖";
  EXPECT_EQ(FormatSql("Name='%s'", {name}), "Name='O''Brien 血糖'");
}
