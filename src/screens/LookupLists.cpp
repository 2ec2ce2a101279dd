#include "LookupLists.h"

#include <QComboBox>

#include "DomainObjects.h"
#include "Exceptions.h"
#include "QtText.h"
#include "TCategory.h"
#include "TDBObjectList.h"
#include "TSampleType.h"
#include "TSfChargeItem.h"

namespace {

const TSampleType* SampleTypeAt(const QComboBox* combo, int index) {
  return reinterpret_cast<const TSampleType*>(combo->itemData(index).value<quintptr>());
}

}  // namespace

namespace LookupLists {

void FillChargeTypes(QComboBox* combo) {
  TDBObjectList chargeItems(true);
  TSfChargeItem(DomainObjects::SharedPool()).LoadAll(chargeItems);
  for (int i = 0; i < chargeItems.Count(); ++i)
    combo->addItem(QtText::ToQ(chargeItems.ItemAs<TSfChargeItem>(i)->ItemName));
  combo->setCurrentIndex(-1);
}

void FillCategoryNames(QComboBox* combo, const TDBObjectList& categories) {
  combo->clear();
  for (int i = 0; i < categories.Count(); ++i)
    combo->addItem(QtText::ToQ(categories.ItemAs<TCategory>(i)->CateName));
  combo->setCurrentIndex(-1);
}

std::unique_ptr<TDBObjectList> FillSampleTypes(QComboBox* combo) {
  auto sampleTypes = std::make_unique<TDBObjectList>(true);
  // A plain object: the shared one would read the list once more when it is made.
  TSampleType(DomainObjects::SharedPool()).LoadAll(*sampleTypes);
  combo->clear();  // before the caller lets the old entries' objects go
  for (int i = 0; i < sampleTypes->Count(); ++i) {
    auto* sampleType = sampleTypes->ItemAs<TSampleType>(i);
    combo->addItem(QtText::ToQ(sampleType->SampleTypeName),
                   QVariant::fromValue(reinterpret_cast<quintptr>(sampleType)));
  }
  combo->setCurrentIndex(-1);
  return sampleTypes;
}

int32_t CategoryIDOf(TCategory& lookup, const std::string& cateName) {
  const int32_t cateID = lookup.GetCateIDByName(cateName);
  if (cateID == 0)
    throw ETJItemException("没有名为“%s”的体检类别，请从列表中选择体检类别。", {cateName});
  return cateID;
}

void ChooseSampleType(QComboBox* combo, int sampleTypeID) {
  int index = -1;
  for (int i = 0; i < combo->count() && index < 0; ++i)
    if (SampleTypeAt(combo, i)->SampleTypeID == sampleTypeID) index = i;
  combo->setCurrentIndex(index);
}

int ChosenSampleTypeID(const QComboBox* combo) {
  const int index = combo->currentIndex();
  return index < 0 ? -1 : SampleTypeAt(combo, index)->SampleTypeID;
}

}  // namespace LookupLists
