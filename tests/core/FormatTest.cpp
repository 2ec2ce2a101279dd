#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

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

namespace {

// Builds a decimal-comma locale in a temporary folder; false when the
// machine lacks the locale sources.
bool UseDecimalCommaLocale(std::string& previous) {
  char dir[] = "/tmp/tesmira-locale-XXXXXX";
  if (!mkdtemp(dir)) return false;
  std::string cmd =
      std::string("localedef -i de_DE -f UTF-8 ") + dir + "/de_DE.UTF-8 >/dev/null 2>&1";
  if (std::system(cmd.c_str()) != 0) return false;
  setenv("LOCPATH", dir, 1);
  previous = std::setlocale(LC_NUMERIC, nullptr);
  return std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
}

}  // namespace

TEST(FormatSql, NumbersKeepTheirPointUnderADecimalCommaLocale) {
  std::string previous;
  if (!UseDecimalCommaLocale(previous)) GTEST_SKIP() << "no de_DE locale can be built here";
  std::string sql = FormatSql("UnitPrice = %f, %s", {12.5, 8.0});
  std::setlocale(LC_NUMERIC, previous.c_str());
  EXPECT_EQ(sql, "UnitPrice = 12.50, 8.00");
}
