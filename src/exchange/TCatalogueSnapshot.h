#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "TCategory.h"
#include "TItemFields.h"
#include "TSampleGroup.h"
#include "TSampleType.h"

/// A catalogue entry as the exchange keeps it: its columns and member codes.
struct TStoredItem {
  TItemFields Fields;
  std::string ItemsString;
};

/// The whole catalogue read from the database once, kept by the keys a
/// file uses (codes, names), and the file's cells of every entry. An
/// import keeps it in step with each row it writes.
class TCatalogueSnapshot {
 public:
  /// Reads every table of the catalogue.
  void Load();

  /// The cells (GBK, CatalogueColumns order) of one entry as a file holds them.
  std::vector<std::string> ItemCells(const TStoredItem& item) const;
  std::vector<std::string> CategoryCells(const TCategoryFields& category) const;
  std::vector<std::string> SampleTypeCells(const TSampleType& type) const;
  std::vector<std::string> TubeCells(const TSampleGroup& tube) const;

  /// Entries in file order (sample types, tubes, categories, items by kind).
  std::vector<std::vector<std::string>> AllCells() const;

  /// Names of referenced entries; "" for none.
  std::string SampleTypeName(int sampleTypeID) const;
  std::string TubeName(int groupID) const;

  std::vector<std::string> ItemOrder;  // codes in the catalogue's order
  std::map<std::string, TStoredItem> Items;
  std::vector<std::unique_ptr<TCategory>> Categories;  // in table order
  std::map<std::string, TCategory*> CategoriesByName;
  std::vector<std::unique_ptr<TSampleType>> SampleTypes;
  std::map<std::string, TSampleType*> SampleTypesByName;
  std::vector<std::unique_ptr<TSampleGroup>> Tubes;
};
