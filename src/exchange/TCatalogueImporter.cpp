#include "TCatalogueImporter.h"

#include "ColumnWidths.h"
#include "DomainObjects.h"
#include "TBaseItem.h"
#include "TCommon.h"

using namespace CatalogueColumns;

namespace {

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Key(const TImportLine& line, int column) {
  return line.Cells[column] ? Trim(*line.Cells[column]) : std::string();
}

// Codes are drawn as the largest stored code plus one, so a stored code
// with anything but digits would break every later drawing (a server
// refuses the arithmetic; SQLite draws a code that is taken).
void RequireDigits(const std::string& code) {
  if (code.find_first_not_of("0123456789") != std::string::npos)
    throw ETJItemException(FormatText("编号[%s]只能由数字组成！", {code}));
}

int ItemTypeOf(TEntryKind kind) {
  return static_cast<int>(kind) - static_cast<int>(TEntryKind::Item);
}

}  // namespace

TCatalogueImporter::TCatalogueImporter(const TWriteContext& context) : context_(context) {}

TImportRow TCatalogueImporter::Apply(const TImportLine& line) {
  TImportRow row;
  row.Line = line.Line;
  row.Kind = line.KindText;
  row.Key =
      Key(line, line.Kind == TEntryKind::Category || line.Kind == TEntryKind::Tube ? Name : Code);
  row.Name = Key(line, Name);
  try {
    if (!line.Error.empty()) throw ETJItemException(line.Error);
    TImportRow done;
    switch (line.Kind) {
      case TEntryKind::SampleType:
        done = ApplySampleType(line);
        break;
      case TEntryKind::Tube:
        done = ApplyTube(line);
        break;
      case TEntryKind::Category:
        done = ApplyCategory(line);
        break;
      default:
        done = ApplyItem(line);
        break;
    }
    row.Outcome = done.Outcome;
    row.Changes = std::move(done.Changes);
    if (row.Kind.empty()) row.Kind = done.Kind;
  } catch (const std::exception& error) {
    row.Outcome = TRowOutcome::Refused;
    row.Reason = error.what();
  }
  return row;
}

void TCatalogueImporter::RefuseRepeated(const std::string& space, const std::string& key,
                                        int line) {
  const auto [at, fresh] = seen_.emplace(space + '\x01' + key, line);
  if (!fresh)
    throw ETJItemException(FormatText("[%s]在文件中重复（第%d行已有）！", {key, at->second}));
}

void TCatalogueImporter::Compare(const Cells& before, const Cells& after, TImportRow& row) {
  for (int c = 0; c < Count; ++c)
    if (c != Kind && before[c] != after[c])
      row.Changes.push_back({ChineseName(c), before[c], after[c]});
  row.Outcome = row.Changes.empty() ? TRowOutcome::Unchanged : TRowOutcome::Updated;
}

TImportRow TCatalogueImporter::ApplySampleType(const TImportLine& line) {
  const std::string name = Key(line, Name);
  if (name.empty()) throw ETJItemException("样本类型名称不能为空！");
  ColumnWidths::RequireWidth(name, ColumnWidths::SampleTypeName, "样本类型名称");
  RefuseRepeated("sampletype", name, line.Line);
  TImportRow row;
  auto found = snapshot_.SampleTypesByName.find(name);
  if (found == snapshot_.SampleTypesByName.end()) {
    auto type = std::make_unique<TSampleType>(DomainObjects::SharedPool());
    type->SampleTypeName = name;
    type->SampleTypeID = line.Cells[Code] && !Trim(*line.Cells[Code]).empty()
                             ? ParseInteger(*line.Cells[Code], Code)
                             : type->NextIntID("SampleTypeID");
    type->Save(context_);
    snapshot_.SampleTypesByName[name] = type.get();
    snapshot_.SampleTypes.push_back(std::move(type));
    row.Outcome = TRowOutcome::Created;
    return row;
  }
  TSampleType& type = *found->second;
  const Cells before = snapshot_.SampleTypeCells(type);
  const int previous = type.SampleTypeID;
  if (line.Cells[Code]) type.SampleTypeID = ParseInteger(*line.Cells[Code], Code);
  Compare(before, snapshot_.SampleTypeCells(type), row);
  if (row.Outcome == TRowOutcome::Unchanged) return row;
  try {
    type.Save(context_);
  } catch (...) {
    type.SampleTypeID = previous;
    throw;
  }
  return row;
}

TImportRow TCatalogueImporter::ApplyTube(const TImportLine& line) {
  const std::string name = Key(line, Name);
  const std::string typeName = Key(line, SampleType);
  if (name.empty()) throw ETJItemException("试管名称不能为空！");
  ColumnWidths::RequireWidth(name, ColumnWidths::GroupName, "试管名称");
  RefuseRepeated("tube", typeName + '\x01' + name, line.Line);
  auto type = snapshot_.SampleTypesByName.find(typeName);
  if (type == snapshot_.SampleTypesByName.end())
    throw ETJItemException(FormatText("样本类型[%s]不存在！", {typeName}));
  TImportRow row;
  for (const auto& tube : snapshot_.Tubes)
    if (tube->SampleTypeID == type->second->SampleTypeID && tube->GroupName == name) return row;
  auto tube = std::make_unique<TSampleGroup>(DomainObjects::SharedPool());
  tube->SampleTypeID = type->second->SampleTypeID;
  tube->GroupName = name;
  tube->Save(context_);
  snapshot_.Tubes.push_back(std::move(tube));
  row.Outcome = TRowOutcome::Created;
  return row;
}

TImportRow TCatalogueImporter::ApplyCategory(const TImportLine& line) {
  const std::string name = Key(line, Name);
  if (name.empty()) throw ETJItemException("类别名称不能为空！");
  RefuseRepeated("category", name, line.Line);
  auto found = snapshot_.CategoriesByName.find(name);
  TCategory category(DomainObjects::SharedPool());
  if (found != snapshot_.CategoriesByName.end())
    category.Assign(found->second);  // with what the row held, for the save's comparison
  else
    category.CateName = name;
  const Cells before = snapshot_.CategoryCells(category);
  for (const TCategoryColumn& column : CategoryColumns())
    if (line.Cells[column.ColumnId]) column.Set(category, *line.Cells[column.ColumnId]);
  TImportRow row;
  if (found != snapshot_.CategoriesByName.end()) {
    Compare(before, snapshot_.CategoryCells(category), row);
    if (row.Outcome == TRowOutcome::Unchanged) return row;
    category.Save(context_);
    static_cast<TCategoryFields&>(*found->second) = category;
    return row;
  }
  // A new category draws its code; the file's code is then written over it,
  // so the entry keeps the code it has in the file.
  const std::string code = category.CateCode;
  ColumnWidths::RequireWidth(code, ColumnWidths::CateCode, "类别编号");
  RequireDigits(code);
  category.CateCode.clear();
  category.Save(context_);
  if (!code.empty() && category.CateCode != code) {
    category.CateCode = code;
    category.Save(context_);
  }
  auto stored = std::make_unique<TCategory>(DomainObjects::SharedPool());
  static_cast<TCategoryFields&>(*stored) = category;
  snapshot_.CategoriesByName[name] = stored.get();
  snapshot_.Categories.push_back(std::move(stored));
  row.Outcome = TRowOutcome::Created;
  return row;
}

// Members of a combination item are examination items; a check set holds
// any entry that is no check set; exclusions name combination items.
std::string TCatalogueImporter::MemberCodes(const std::string& cell, TEntryKind kind,
                                            const std::string& self, bool exclusions) {
  std::string text = cell;
  for (char& c : text)
    if (c == ',') c = ';';
  std::vector<std::string> codes = TBaseItem::CodesOf(text);
  for (const std::string& code : codes) {
    auto member = snapshot_.Items.find(code);
    const char* what = exclusions ? "排斥项目" : "成员";
    if (exclusions && member == snapshot_.Items.end() && code != self &&
        declaredCombinations_.count(code))
      continue;  // created by a later row (a refused one refuses the file)
    if (member == snapshot_.Items.end() || code == self)
      throw ETJItemException(FormatText("%s编号[%s]不存在！", {what, code}));
    const int type = member->second.Fields.ItemType;
    const bool fits = exclusions ? type == 1 : kind == TEntryKind::CombItem ? type == 0 : type != 2;
    if (!fits)
      throw ETJItemException(FormatText(
          "%s编号[%s]是%s，不能作为%s！",
          {what, code, KindName(static_cast<TEntryKind>(static_cast<int>(TEntryKind::Item) + type)),
           what}));
  }
  return CodesText(codes);
}

void TCatalogueImporter::SetReferences(const TImportLine& line, TEntryKind kind,
                                       TStoredItem& item) {
  TItemFields& f = item.Fields;
  if (line.Cells[Category]) {
    const std::string name = Trim(*line.Cells[Category]);
    f.CateID = 0;
    f.CateName = name;
    if (!name.empty()) {
      auto category = snapshot_.CategoriesByName.find(name);
      if (category == snapshot_.CategoriesByName.end())
        throw ETJItemException(FormatText("类别[%s]不存在！", {name}));
      f.CateID = category->second->CateID.value_or(0);
    }
  }
  if (line.Cells[SampleType]) {
    const std::string name = Trim(*line.Cells[SampleType]);
    f.SampleTypeID = 0;
    if (!name.empty()) {
      auto type = snapshot_.SampleTypesByName.find(name);
      if (type == snapshot_.SampleTypesByName.end())
        throw ETJItemException(FormatText("样本类型[%s]不存在！", {name}));
      f.SampleTypeID = type->second->SampleTypeID;
    }
  }
  if (line.Cells[Tube]) {
    const std::string name = Trim(*line.Cells[Tube]);
    f.SampleGroupID = 0;
    for (const auto& tube : snapshot_.Tubes)
      if (!name.empty() && tube->GroupName == name &&
          (f.SampleTypeID == 0 || tube->SampleTypeID == f.SampleTypeID)) {
        f.SampleGroupID = tube->GroupID;
        break;
      }
    if (!name.empty() && f.SampleGroupID == 0)
      throw ETJItemException(FormatText("试管[%s]不存在！", {name}));
  }
  const bool composite = f.ItemType != 0;
  if (line.Cells[Members] && (composite || !Trim(*line.Cells[Members]).empty())) {
    if (!composite) throw ETJItemException("项目没有成员，成员列应为空！");
    item.ItemsString = MemberCodes(*line.Cells[Members], kind, f.ItemCode, false);
  }
  if (line.Cells[Exclusions] && (f.ItemType == 1 || !Trim(*line.Cells[Exclusions]).empty())) {
    if (f.ItemType != 1) throw ETJItemException("只有组合项目有排斥项目！");
    f.ExcludeItems = MemberCodes(*line.Cells[Exclusions], kind, f.ItemCode, true);
  }
}

TImportRow TCatalogueImporter::ApplyItem(const TImportLine& line) {
  const std::string code = Key(line, Code);
  if (line.Kind == TEntryKind::Unnamed && code.empty())
    throw ETJItemException("没有编号，不知道要修改哪个项目！");
  ColumnWidths::RequireWidth(code, ColumnWidths::ItemCode, "编号");
  RequireDigits(code);
  if (!code.empty()) RefuseRepeated("item", code, line.Line);
  auto found = code.empty() ? snapshot_.Items.end() : snapshot_.Items.find(code);
  const bool fresh = found == snapshot_.Items.end();
  if (fresh && line.Kind == TEntryKind::Unnamed)
    throw ETJItemException(FormatText("编号[%s]不存在！", {code}));
  TEntryKind kind = line.Kind;
  TStoredItem item;
  if (!fresh) {
    item = found->second;
    const auto stored =
        static_cast<TEntryKind>(static_cast<int>(TEntryKind::Item) + item.Fields.ItemType);
    if (kind == TEntryKind::Unnamed) kind = stored;
    if (kind != stored)
      throw ETJItemException(
          FormatText("编号[%s]已是%s，不能作为%s导入！", {code, KindName(stored), KindName(kind)}));
  } else {
    item.Fields.ItemType = ItemTypeOf(kind);
    item.Fields.ItemCode = code;
  }
  const Cells before = snapshot_.ItemCells(item);
  for (const TItemColumn& column : ItemColumns())
    if (line.Cells[column.ColumnId]) column.Set(item.Fields, *line.Cells[column.ColumnId]);
  SetReferences(line, kind, item);

  TBaseItem entry(DomainObjects::SharedPool());
  TImportRow row;
  row.Kind = KindName(kind);
  if (!fresh) {
    Compare(before, snapshot_.ItemCells(item), row);
    if (row.Outcome == TRowOutcome::Unchanged) return row;
    // The stored row as the entry's starting point: the save compares it
    // with the database (this transaction holds every other writer off).
    entry.ItemCode = code;
    entry.Find();
  } else {
    // What the windows propose for a new entry the file says nothing of:
    // in use (a price list that adds an item means it to be used), its
    // mnemonic, the next place in its category.
    if (!line.Cells[InUse]) item.Fields.IsInUse = true;
    if (!line.Cells[PinyinCode])
      item.Fields.AbForPY = TCommon::Instance().GetPYCode(item.Fields.ItemName);
    if (!line.Cells[DisplayOrder])
      item.Fields.DispOrder = kind == TEntryKind::CheckSet
                                  ? entry.NextCheckSetDispOrder()
                                  : entry.NextDispOrder(item.Fields.CateID);
    row.Outcome = TRowOutcome::Created;
  }
  // Exclusions of combination items that later rows create are stored once
  // those exist (Finish): a save never names a row the database lacks.
  const std::string exclusions = item.Fields.ExcludeItems;
  std::vector<std::string> stored;
  for (const std::string& excluded : TBaseItem::CodesOf(exclusions))
    if (snapshot_.Items.count(excluded)) stored.push_back(excluded);
  static_cast<TItemFields&>(entry) = item.Fields;
  entry.ExcludeItems = CodesText(stored);
  const bool waiting = entry.ExcludeItems != exclusions;
  entry.SetItemsString(item.ItemsString);
  if (fresh) {
    // A new entry keeps the file's code (this transaction holds every other
    // writer off, and the snapshot says no row has it); without one it draws.
    entry.ItemCode = code;
    entry.KeepCodeOnInsert();
  }
  entry.Save(context_);
  item.Fields = entry;
  if (fresh) snapshot_.ItemOrder.push_back(entry.ItemCode);
  snapshot_.Items[entry.ItemCode] = item;
  if (waiting) pendingExclusions_[entry.ItemCode] = {exclusions, line.Line};
  return row;
}

std::vector<TImportRow> TCatalogueImporter::Finish() {
  std::vector<TImportRow> refused;
  for (const auto& [code, waiting] : pendingExclusions_) {
    try {
      TBaseItem entry(DomainObjects::SharedPool());
      entry.ItemCode = code;
      entry.Find();
      entry.ExcludeItems = waiting.first;
      entry.Save(context_);
      snapshot_.Items[code].Fields.ExcludeItems = waiting.first;
    } catch (const std::exception& error) {
      TImportRow row;
      row.Line = waiting.second;
      row.Key = code;
      row.Outcome = TRowOutcome::Refused;
      row.Reason = error.what();
      refused.push_back(row);
    }
  }
  pendingExclusions_.clear();
  return refused;
}
