#include <gtest/gtest.h>

#include "TRegisterClasses.h"

namespace {

TMDIChild* NoWindow(IWinMain*) {
  return nullptr;
}
const TMDIChildClassInfo kCategories{"TfrmCategorie", &NoWindow};
const TMDIChildClassInfo kItems{"TfrmItemEdit", &NoWindow};
const TMDIChildClassInfo kOther{"TfrmOther", &NoWindow};

}  // namespace

TEST(Registry, LookupIgnoresAsciiCaseAndSurroundingBlanks) {
  TRegisterClasses registry;
  RegisterMDIChildClass(registry, "", &kCategories);
  RegisterMDIChildClass(registry, "", &kItems);
  EXPECT_EQ(registry.FindMDIChildClass("  TfrmItemEdit\t"), &kItems);
  EXPECT_EQ(registry.FindMDIChildClass("tfrmcategorie"), &kCategories);
  EXPECT_EQ(registry.FindMDIChildClass("\x01TFRMCATEGORIE\r\n"), &kCategories);
  EXPECT_EQ(registry.FindMDIChildClass("TfrmCate gorie"), nullptr);
  EXPECT_EQ(registry.FindMDIChildClass(""), nullptr);
}

TEST(Registry, NamesKeepTheirBlanksAndFirstMatchWins) {
  TRegisterClasses registry;
  RegisterMDIChildClass(registry, " \t ", &kCategories);  // blank: the class name
  RegisterMDIChildClass(registry, "  Items ", &kItems);
  RegisterMDIChildClass(registry, "items", &kOther);
  EXPECT_EQ(registry.Items(0).MDIChildName, "TfrmCategorie");
  EXPECT_EQ(registry.Items(1).MDIChildName, "  Items ");
  EXPECT_EQ(registry.FindMDIChildClass("ITEMS"), &kItems);
  std::string names = "stale";
  registry.GetClassNames(names);
  EXPECT_EQ(names, "TfrmCategorie\r\n  Items \r\nitems\r\n");
}

TEST(Registry, EmptyRegistryGivesEmptyText) {
  TRegisterClasses registry;
  std::string names = "stale";
  registry.GetClassNames(names);
  EXPECT_EQ(names, "");
  EXPECT_THROW(registry.Items(0), std::out_of_range);
  EXPECT_EQ(registry.Add().DisplayName(), "TRegisterClassItem");
}

TEST(Registry, NormalisationIsByteWise) {
  // Only ASCII letters change case; GBK bytes stay as they are.
  EXPECT_EQ(TRegisterClasses::NormaliseName(" ab\xB0\xA1z "), "AB\xB0\xA1Z");
}
