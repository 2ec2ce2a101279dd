#include "TCombItem.h"

#include "Format.h"
#include "TDataSet.h"
#include "TSingleComm.h"

TCombItem::TCombItem() : TBaseItem() {}

TCombItem::TCombItem(TBaseDBConnPool* pool) : TBaseItem(pool) {}

std::vector<TCombItemChoice> TCombItem::ExclusionCandidates(const std::string& code,
                                                            int32_t cateID) {
  // A plain object for one query; the code is quoted like every text value.
  TDBObject query(TSingleComm::Instance().GetConnPool());
  query.OpenSQL(
      FormatSql("SELECT * FROM TJItem WHERE  ItemCode <> '%s' and ItemType = 1 and CateID =%d",
                {code, cateID}));
  TDataSet* rows = query.GetDataSet();
  std::vector<TCombItemChoice> choices;
  if (rows->IsEmpty()) return choices;
  choices.reserve(static_cast<size_t>(rows->RecordCount()));
  const TField itemCode = rows->FieldByName("ItemCode");
  const TField itemName = rows->FieldByName("ItemName");
  for (rows->First(); !rows->Eof(); rows->Next())
    choices.push_back({itemCode.AsString(), itemName.AsString()});
  return choices;
}

std::unordered_set<std::string> TCombItem::ExcludedCodes(const std::string& exclusionText) {
  std::vector<std::string> codes = CodesOf(exclusionText);
  return {std::make_move_iterator(codes.begin()), std::make_move_iterator(codes.end())};
}
