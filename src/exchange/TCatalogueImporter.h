#pragma once

#include <array>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "CatalogueColumns.h"
#include "CatalogueExchange.h"
#include "TCatalogueSnapshot.h"
#include "TWriteRules.h"

/// One data row of a file: its line, kind and the cells of the columns the
/// file has (absent columns are left alone by the import).
struct TImportLine {
  int Line = 0;
  TEntryKind Kind = TEntryKind::Unnamed;
  std::string KindText;
  std::array<std::optional<std::string>, CatalogueColumns::Count> Cells;
  std::string Error;  // a row the file itself gets wrong (too many cells, unknown kind)
};

/// Applies the rows of one file, in dependency order, to the database
/// through the domain's saves, inside the caller's transaction, and tells
/// what became of each. A refused row is rolled back to its own savepoint
/// and the others still go on, so a preview names every refused row.
class TCatalogueImporter {
 public:
  explicit TCatalogueImporter(const TWriteContext& context);

  /// Reads the catalogue as it is now (inside the transaction).
  void Load() { snapshot_.Load(); }
  /// Codes the file gives combination items, before any row is applied:
  /// two combination items may exclude each other, so an exclusion may
  /// name one that a later row of the file creates.
  void DeclareCombination(const std::string& code) { declaredCombinations_.insert(code); }
  TImportRow Apply(const TImportLine& line);
  /// After every row: the exclusions that named combination items created
  /// by later rows, saved now that those exist. The rows refused here.
  std::vector<TImportRow> Finish();

 private:
  using Cells = std::vector<std::string>;

  TImportRow ApplySampleType(const TImportLine& line);
  TImportRow ApplyTube(const TImportLine& line);
  TImportRow ApplyCategory(const TImportLine& line);
  TImportRow ApplyItem(const TImportLine& line);

  void RefuseRepeated(const std::string& space, const std::string& key, int line);
  void SetReferences(const TImportLine& line, TEntryKind kind, TStoredItem& item);
  std::string MemberCodes(const std::string& cell, TEntryKind kind, const std::string& self,
                          bool exclusions);
  static void Compare(const Cells& before, const Cells& after, TImportRow& row);

  TWriteContext context_;
  TCatalogueSnapshot snapshot_;
  std::map<std::string, int> seen_;
  std::set<std::string> declaredCombinations_;
  // Code -> the file's exclusion text and line, for exclusions waiting for
  // combination items of later rows.
  std::map<std::string, std::pair<std::string, int>> pendingExclusions_;  // "space\x01key" -> line
};
