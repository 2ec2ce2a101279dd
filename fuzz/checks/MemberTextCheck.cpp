#include "MemberTextCheck.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzDatabase.h"
#include "GbkText.h"
#include "TBaseItem.h"
#include "TItemManager.h"
#include "TSingleComm.h"

using FuzzCheck::Require;

namespace {

using Members = std::vector<const TBaseItem*>;

Members Of(const TBaseItemList& list) {
  return Members(list.begin(), list.end());
}

// The entries of a member text: the parts before each ";" and a last part
// without one; `terminated` tells which had their ";".
struct Entry {
  std::string Code;
  bool Terminated;
};

std::vector<Entry> Entries(const std::string& text) {
  std::vector<Entry> entries;
  std::string part;
  for (char c : text) {
    if (c != ';') {
      part += c;
      continue;
    }
    entries.push_back({part, true});
    part.clear();
  }
  if (!part.empty()) entries.push_back({part, false});
  return entries;
}

std::string Trimmed(const std::string& code) {
  size_t begin = 0, end = code.size();
  while (begin < end && static_cast<unsigned char>(code[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(code[end - 1]) <= ' ') --end;
  return code.substr(begin, end - begin);
}

// What a member text must build into: the first catalogue entry of each
// (trimmed) code, in text order, each once.
Members Expected(const std::string& text) {
  Members expected;
  for (const Entry& entry : Entries(text)) {
    const std::string code = Trimmed(entry.Code);
    const TBaseItem* found = nullptr;
    for (const TBaseItem* candidate : TItemManager::Instance().Items())
      if (!code.empty() && candidate->ItemCode == code) {
        found = candidate;
        break;
      }
    bool listed = false;
    for (const TBaseItem* m : expected) listed = listed || m == found;
    if (found && !listed) expected.push_back(found);
  }
  return expected;
}

std::string Written(const Members& members) {
  std::string text;
  for (const TBaseItem* m : members) text += m->ItemCode + ";";
  return text;
}

void RequireBuilt(const TBaseItem& composite, const std::string& text, std::string_view input) {
  const Members members = Of(composite.Items());
  Require(members == Expected(text), "the members are the catalogue entries named, once each",
          input);
  Require(composite.GetItemsString() == Written(members), "the text lists exactly the members",
          input);
  for (const TBaseItem* m : members)
    Require(m->UsedBy().Contains(&composite), "a member lists the composite in UsedBy", input);
}

// Each catalogue entry lists the composite in UsedBy exactly when it is one
// of the composite's members.
void RequireLinks(const TBaseItem& composite, std::string_view input) {
  for (const TBaseItem* entry : TItemManager::Instance().Items())
    Require(entry->UsedBy().Contains(&composite) == composite.Items().Contains(entry),
            "UsedBy lists a composite exactly where it is a member", input);
}

// The codes a text names: its entries trimmed, empty ones left out.
void RequireCodes(const std::string& text, std::string_view input) {
  std::vector<std::string> expected;
  for (const Entry& entry : Entries(text))
    if (!Trimmed(entry.Code).empty()) expected.push_back(Trimmed(entry.Code));
  Require(TBaseItem::CodesOf(text) == expected, "CodesOf lists the trimmed entries", input);
}

void RequireRemoval(TBaseItem& scratch, const std::string& text, std::string_view input) {
  const std::vector<Entry> entries = Entries(text);
  for (size_t i = 0; i < entries.size() && i < 4; ++i) {
    std::string expected;
    bool removed = false;
    for (const Entry& e : entries) {
      if (!removed && e.Code == entries[i].Code) {
        removed = true;
        continue;
      }
      expected += e.Code + (e.Terminated ? ";" : "");
    }
    scratch.SetItemsString(text);
    scratch.RemoveCode(entries[i].Code);
    Require(scratch.GetItemsString() == expected, "a removal takes out the first whole entry",
            input);
  }
}

// Every entry of `itemType` reachable through members, walking each
// composite once.
std::unordered_set<const TBaseItem*> Reachable(const TBaseItem& from, int32_t itemType) {
  std::unordered_set<const TBaseItem*> found, walked{&from};
  std::vector<const TBaseItem*> pending{&from};
  while (!pending.empty()) {
    const TBaseItem* next = pending.back();
    pending.pop_back();
    for (const TBaseItem* m : next->Items()) {
      if (m->ItemType == itemType) found.insert(m);
      if (m->ItemType != 0 && walked.insert(m).second) pending.push_back(m);
    }
  }
  return found;
}

void RequireCollected(TBaseItem& composite, std::string_view input) {
  for (int32_t itemType = 0; itemType <= 2; ++itemType) {
    TBaseItemList list;
    composite.CollectItems(list, itemType);
    const Members collected = Of(list);
    const std::unordered_set<const TBaseItem*> distinct(collected.begin(), collected.end());
    Require(distinct.size() == collected.size() && distinct == Reachable(composite, itemType),
            "collecting lists every reachable entry of the kind once", input);
  }
}

// True when the text can be stored as it is: text goes to the database as
// UTF-8 inside a statement, which ends at a NUL byte.
bool Storable(const std::string& text) {
  return text.find('\0') == std::string::npos && GbkText::FromUtf8(GbkText::ToUtf8(text)) == text;
}

void RequireStored(TBaseItem& composite, std::string_view input) {
  if (!Storable(composite.ExcludeItems)) return;
  composite.ItemName = "fuzz";
  // The row's own insert, without the catalogue's rules: the texts name
  // codes no row has, which a save through the rules refuses as dangling.
  composite.Insert();
  TBaseItem read(TSingleComm::Instance().GetConnPool());
  read.ItemCode = composite.ItemCode;
  Require(read.Find() == 0, "the saved composite is found", input);
  Require(read.GetItemsString() == composite.GetItemsString() &&
              read.ExcludeItems == composite.ExcludeItems,
          "member and exclusion texts read back unchanged", input);
  composite.Delete();
}

void RequireUnlinkedWhenFreed(std::unique_ptr<TBaseItem> composite, std::string_view input) {
  const auto address = reinterpret_cast<uintptr_t>(composite.get());
  composite.reset();
  for (const TBaseItem* entry : TItemManager::Instance().Items())
    for (const TBaseItem* user : entry->UsedBy())
      Require(reinterpret_cast<uintptr_t>(user) != address, "a freed composite is in no UsedBy",
              input);
}

}  // namespace

void CheckMemberText(std::string_view input) {
  const std::vector<std::string> f = FuzzCheck::Fields(input, 5);
  FuzzDatabase::Instance();
  delete TItemManager::AccessInstance(0);  // a fresh catalogue for every input
  TItemManager& catalogue = TItemManager::Instance();
  const char* const composites[] = {"000010", "000011", "000020"};
  for (int i = 0; i < 3; ++i) catalogue.FindItem(composites[i])->SetItemsString(f[i + 1]);

  TBaseDBConnPool* pool = TSingleComm::Instance().GetConnPool();
  auto composite = std::make_unique<TBaseItem>(pool);
  composite->ItemType = 1;
  composite->SetItemsString(f[0]);
  composite->ExcludeItems = f[4];
  composite->LoadItems();
  catalogue.LoadItems();
  RequireBuilt(*composite, f[0], input);
  for (int i = 0; i < 3; ++i) RequireBuilt(*catalogue.FindItem(composites[i]), f[i + 1], input);

  TBaseItem again(pool);
  again.SetItemsString(composite->GetItemsString());
  again.LoadItems();
  Require(Of(again.Items()) == Of(composite->Items()) &&
              again.GetItemsString() == composite->GetItemsString(),
          "a written text builds the same members", input);
  RequireLinks(*composite, input);
  RequireCodes(f[0], input);
  RequireCodes(f[4], input);
  // A row read again with another text: the members are built from it.
  again.SetItemsString(f[1]);
  again.ReloadItemsIfChanged();
  RequireBuilt(again, f[1], input);
  RequireLinks(again, input);
  RequireRemoval(again, f[0], input);
  RequireCollected(*composite, input);
  RequireStored(*composite, input);
  RequireUnlinkedWhenFreed(std::move(composite), input);
}
