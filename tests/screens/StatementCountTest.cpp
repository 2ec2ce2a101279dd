// Statements per cold window open and per save, counted at the statement
// layer (TStatementCounter) on every backend: the windows send the same
// statements whatever the database, each list is read once, and nothing is
// added per statement on the server's connection.
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <string>

#include "CatalogueEntries.h"
#include "DomainObjects.h"
#include "ScreenTest.h"
#include "TCombItem.h"
#include "TItem.h"
#include "TMDIChild.h"
#include "TPromptService.h"
#include "TSingleComm.h"
#include "TStatementCounter.h"
#include "TestBackends.h"
#include "TfrmCombItem.h"
#include "TfrmItemEdit.h"

namespace {

class StatementCountTest : public ::testing::TestWithParam<TestBackend> {
 protected:
  void SetUp() override {
    db.UseAsLibraryPoolThrough(GetParam());
    host.User.UserName = "Chief";
    host.User.Operator.OperatorName = "张医生";
    TSingleComm::Instance().SetWinMain(&host);
    SetCurrentApplication(&app);
    TPromptService::Reset();
    db.Exec(
        u8"INSERT INTO TJCategories (CateID, CateCode, CateName) VALUES "
        u8"(1, '000001', '检验科'), (2, '000002', '一般检查')");
    db.Exec(u8"INSERT INTO TJSampleType (ID, SampleTypeID, SampleTypeName) VALUES (1, 5, '血液')");
    db.Exec(u8"INSERT INTO sfChargeItem (ItemCode, ItemName) VALUES ('01', '化验费')");
    db.Exec(
        u8"INSERT INTO TJItem (ItemID, ItemCode, ItemName, ItemType, CateId, CateName, "
        u8"ItemsString, UnitPrice, Sex, IsInUse) VALUES "
        u8"(1, '000001', '血糖', 0, 1, '检验科', '', 5, '不限', 1), "
        u8"(2, '000002', '肌酐', 0, 1, '检验科', '', 6, '不限', 1), "
        u8"(3, '000003', '身高', 0, 2, '一般检查', '', 0, '不限', 1), "
        u8"(10, '000010', '肾功能', 1, 1, '检验科', '000001;000002;', 11, '不限', 1)");
  }
  void TearDown() override {
    delete frame_.data();
    ProcessPendingEvents();
    CatalogueEntries::ReleaseRetired();
    DomainObjects::ReleaseProcessObjects();
    TSingleComm::Instance().SetWinMain(nullptr);
    SetCurrentApplication(LibraryApplication());
    TPromptService::Reset();
  }

  // The statements a cold open of the window sends, until it is shown.
  template <class Window>
  uint64_t StatementsToOpen() {
    delete frame_.data();
    ProcessPendingEvents();
    DomainObjects::ReleaseProcessObjects();
    const uint64_t before = TStatementCounter::Sent();
    auto* window = static_cast<Window*>(TMDIChild::Construct<Window>(&host));
    frame_ = window->Frame();
    ProcessPendingEvents();
    EXPECT_TRUE(frame_->isVisible());
    EXPECT_TRUE(app.Shown.empty()) << app.Shown.front();
    return TStatementCounter::Sent() - before;
  }

  // The statements one save of the entry with `code` sends (price changed).
  template <class Entry>
  uint64_t StatementsToSave(const std::string& code, const char* source) {
    Entry entry(TSingleComm::Instance().GetConnPool());
    entry.ItemCode = code;
    EXPECT_EQ(entry.Find(), 0);
    entry.UnitPrice = entry.UnitPrice + 1;
    const uint64_t before = TStatementCounter::Sent();
    entry.Save({&host.User, source});
    return TStatementCounter::Sent() - before;
  }

  TestDatabase db{GetParam()};
  RecordingHost host;
  RecordingApplication app;
  QPointer<QWidget> frame_;
};

TESMIRA_ALL_BACKENDS(StatementCountTest);

// The item window: the charge types, the sample types, the categories
// (once, for the tree and the category box), the change stamp, the
// catalogue, the new item's category and display order, and the change
// stamp once more. The first open of a process also reads the change stamp
// it starts from. The combination item window: the charge types, the sample
// types, the change stamp, the catalogue, then once (the maximising show
// used to read them a second time) the categories, the first category by
// name and by key, its sample groups, and the new entry's category and
// display order.
TEST_P(StatementCountTest, WindowOpensSendTheirOwnStatementsOnly) {
  const uint64_t first = StatementsToOpen<TfrmItemEdit>();
  EXPECT_EQ(StatementsToOpen<TfrmItemEdit>(), 8u);
  EXPECT_LE(first, 9u);
  EXPECT_EQ(StatementsToOpen<TfrmCombItem>(), 10u);
  EXPECT_EQ(StatementsToOpen<TfrmCombItem>(), 10u);
}

// A save, once the history's table and time expression are known: begin,
// the change stamp's raise (which gives the change's number and time), the
// stored row, the checks (and a combination's member codes), the update,
// the history rows, commit. The SQLite ODBC driver answers an UPDATE with
// no rows: there the number and time take a statement of their own.
TEST_P(StatementCountTest, SavesSendTheirOwnStatementsOnly) {
  const uint64_t header = GetParam() == TestBackend::Odbc ? 1 : 0;
  StatementsToSave<TItem>("000003", "TfrmItemEdit");
  EXPECT_EQ(StatementsToSave<TItem>("000003", "TfrmItemEdit"), 7u + header);
  EXPECT_EQ(StatementsToSave<TCombItem>("000010", "TfrmCombItem"), 8u + header);
}

}  // namespace
