#pragma once

#include <cstdint>
#include <memory>
#include <string>

class QComboBox;
class TCategory;
class TDBObjectList;

/// The drop-down lists the item detail frames fill from the catalogue
/// tables when they are created, and the sample type choice they share.
namespace LookupLists {

/// The ItemName of every charge item, in the charge items' default order.
void FillChargeTypes(QComboBox* combo);
/// Replaces the entries by the CateName of every category of `categories`
/// (the list a category tree was built from: the window reads it once).
void FillCategoryNames(QComboBox* combo, const TDBObjectList& categories);
/// Replaces the entries by one per sample type (text SampleTypeName), in ID
/// order, each carrying its object. The returned list owns the objects: it
/// must live as long as the entries.
std::unique_ptr<TDBObjectList> FillSampleTypes(QComboBox* combo);

/// The CateID of the category named `cateName` (looked up through `lookup`).
/// A name that names none raises ETJItemException "没有名为“<name>”的体检类别，
/// 请从列表中选择体检类别。": an entry saved in no category is in no tree and
/// would vanish from the screen.
int32_t CategoryIDOf(TCategory& lookup, const std::string& cateName);

/// Chooses the sample type entry whose SampleTypeID is `sampleTypeID`, or
/// none when no entry has it. Sample types are told apart by identifier,
/// never by their position in the list.
void ChooseSampleType(QComboBox* combo, int sampleTypeID);
/// The SampleTypeID of the chosen sample type entry, -1 when none is chosen.
int ChosenSampleTypeID(const QComboBox* combo);

}  // namespace LookupLists
