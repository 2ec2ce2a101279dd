#include <gtest/gtest.h>

#include "DomainTest.h"
#include "Exceptions.h"
#include "TCommon.h"

namespace {

TEST(TCommonTest, NamesBecomeTheirPinyinInitials) {
  TCommon& common = TCommon::Instance();
  EXPECT_EQ(common.GetPYCode(""), "");
  EXPECT_EQ(common.GetPYCode("血糖"), "XT");
  EXPECT_EQ(common.GetPYCode("血常规"), "XCG");
  EXPECT_EQ(common.GetPYCode("身高体重"), "SGTZ");
  EXPECT_EQ(common.GetPYCode("胸部正位片"), "XBZWP");
  EXPECT_EQ(common.GetPYCode("钼靶"), "MB");
  EXPECT_EQ(common.GetPYCode("abc"), "abc");
}

TEST(TCommonTest, AsciiCountsTowardsTheSixCharacters) {
  TCommon& common = TCommon::Instance();
  EXPECT_EQ(common.GetPYInitials("ALT(谷丙转氨酶)"), "ALT(GBZAM)");
  EXPECT_EQ(common.GetPYCode("ALT(谷丙转氨酶)"), "ALT(GB");
  EXPECT_EQ(common.GetPYCode("甲状腺功能"), "JZXGN");
  EXPECT_EQ(common.GetPYCode("乙肝表面抗原"), "YGBMKY");      // six: whole
  EXPECT_EQ(common.GetPYCode("乙肝表面抗原定量"), "YGBMKY");  // eight: cut
}

TEST(TCommonTest, RangeEdgesAndSingleCodePoints) {
  const TCommon& common = TCommon::Instance();
  EXPECT_EQ(common.GetPYInitial(0xB0A1), 'A');
  EXPECT_EQ(common.GetPYInitial(0xB0C4), 'A');
  EXPECT_EQ(common.GetPYInitial(0xB0C5), 'B');
  EXPECT_EQ(common.GetPYInitial(0xD7F9), 'Z');
  EXPECT_EQ(common.GetPYInitial(0xD7FA), ' ');
  EXPECT_EQ(common.GetPYInitial(0xB0A0), ' ');
  EXPECT_EQ(common.GetPYInitial(0xB140), 'B');  // extension code inside B's range
  EXPECT_EQ(common.GetPYInitial(0xD8A1), ' ');
  EXPECT_EQ(common.GetPYInitial(0xF4EF), 'F');
  EXPECT_EQ(common.GetPYInitial(0xEFA7), 'A');
  EXPECT_EQ(common.GetPYInitials("萘吡喹溴氡胭腼钴铍锂锆锶镉羰"), "NPKXDYNGPLGSGT");
}

TEST(TCommonTest, PunctuationGivesSpacesAndAnOddLeadByteIsRead) {
  const TCommon& common = TCommon::Instance();
  EXPECT_EQ(common.GetPYInitials("（测试）"), " CS ");
  EXPECT_EQ(common.GetPYInitials(std::string("\xC1")), "L");
  EXPECT_EQ(common.GetPYInitials(std::string("\xB0")), " ");
  EXPECT_EQ(common.GetPYInitials(std::string("1\xD1\xAA\xC1")), "1XL");
}

TEST(TCommonTest, TheInstanceIsForgottenWhenFreed) {
  TCommon* first = &TCommon::Instance();
  EXPECT_EQ(TCommon::AccessInstance(0), first);
  delete first;
  EXPECT_EQ(TCommon::AccessInstance(0), nullptr);
  TCommon* second = TCommon::AccessInstance(1);
  EXPECT_EQ(TCommon::AccessInstance(2), nullptr);
  EXPECT_EQ(TCommon::AccessInstance(0), nullptr);
  delete second;
  EXPECT_EQ(MessageOf<Exception>([&] { TCommon::AccessInstance(7); }),
            "Illegal request 7 in AccessInstance");
}

}  // namespace
