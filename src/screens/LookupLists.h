#pragma once

#include <memory>

class QComboBox;
class TDBObjectList;

/// The drop-down lists the item detail frames fill from the catalogue
/// tables when they are created, and the sample type choice they share.
namespace LookupLists {

/// The ItemName of every charge item, in the charge items' default order.
void FillChargeTypes(QComboBox* combo);
/// The CateName of every category, in the categories' default order.
void FillCategoryNames(QComboBox* combo);
/// Replaces the entries by one per sample type (text SampleTypeName), in ID
/// order, each carrying its object. The returned list owns the objects: it
/// must live as long as the entries.
std::unique_ptr<TDBObjectList> FillSampleTypes(QComboBox* combo);

/// Chooses the sample type entry whose SampleTypeID is `sampleTypeID`, or
/// none when no entry has it. Sample types are told apart by identifier,
/// never by their position in the list.
void ChooseSampleType(QComboBox* combo, int sampleTypeID);
/// The SampleTypeID of the chosen sample type entry, -1 when none is chosen.
int ChosenSampleTypeID(const QComboBox* combo);

}  // namespace LookupLists
