#include "TfamCombItem.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <vector>

#include "CatalogueEntries.h"
#include "ColumnWidths.h"
#include "DomainObjects.h"
#include "EntryWrites.h"
#include "Exceptions.h"
#include "FieldConvert.h"
#include "FieldEvents.h"
#include "FieldLimits.h"
#include "HandlerConnect.h"
#include "LookupLists.h"
#include "QtText.h"
#include "TCategory.h"
#include "TCombItem.h"
#include "TCommon.h"
#include "TDBObjectList.h"
#include "TRadioGroup.h"
#include "TSampleGroup.h"
#include "WidgetLook.h"

namespace {

constexpr int32_t kCombinationItem = 1;  // ItemType

TRadioGroup* YesNo(QWidget* parent, const QString& name) {
  TRadioGroup* group = TRadioGroup::YesNo(parent);
  group->setObjectName(name);
  group->SetYes(true);
  return group;
}

const TSampleGroup* GroupAt(const QComboBox* combo, int index) {
  return reinterpret_cast<const TSampleGroup*>(combo->itemData(index).value<quintptr>());
}

}  // namespace

TfamCombItem::TfamCombItem(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("famCombItem"));
  BuildFields();
  BuildHiddenFields();
  LayOutFields();
  LimitWidths();
  ConnectHandlers();
}

TfamCombItem::~TfamCombItem() = default;

void TfamCombItem::BuildFields() {
  using WidgetLook::NamedCombo;
  using WidgetLook::NamedEdit;
  Cbbcate = NamedCombo(this, QStringLiteral("Cbbcate"), true);
  radIsInuse = YesNo(this, QStringLiteral("radIsInuse"));
  edtCombCode = NamedEdit(this, QStringLiteral("edtCombCode"));
  edtCombCode->setEnabled(false);
  edtCombName = NamedEdit(this, QStringLiteral("edtCombName"));
  edtSort = NamedEdit(this, QStringLiteral("edtSort"));
  edtPrice = NamedEdit(this, QStringLiteral("edtPrice"));
  edtABForPY = NamedEdit(this, QStringLiteral("edtABForPY"));
  edtABForWB = NamedEdit(this, QStringLiteral("edtABForWB"));
  edtCustom = NamedEdit(this, QStringLiteral("edtCustom"));
  combChargeType = NamedCombo(this, QStringLiteral("combChargeType"), true);
  combSampleType = NamedCombo(this, QStringLiteral("combSampleType"), false);
  cbbSampleGroup = NamedCombo(this, QStringLiteral("cbbSampleGroup"), false);
  radIsHaveExamProcess = YesNo(this, QStringLiteral("radIsHaveExamProcess"));
  radIsSecCheck = YesNo(this, QStringLiteral("radIsSecCheck"));
  for (QWidget* edit : std::initializer_list<QWidget*>{edtCombName, edtSort, edtPrice, edtABForPY,
                                                       edtABForWB, edtCustom})
    WidgetLook::ChineseInput(edit, WidgetLook::PinyinImeName);
  for (QWidget* combo :
       std::initializer_list<QWidget*>{Cbbcate, combChargeType, combSampleType, cbbSampleGroup})
    WidgetLook::ChineseInput(combo);
  // Tab order 0 to 13.
  WidgetLook::ChainTabOrder({radIsInuse, Cbbcate, edtCombCode, edtCombName, edtSort, edtPrice,
                             edtABForPY, edtABForWB, edtCustom, combChargeType, cbbSampleGroup,
                             combSampleType, radIsSecCheck, radIsHaveExamProcess});
}

void TfamCombItem::BuildHiddenFields() {
  edtCombHint = WidgetLook::NamedEdit(this, QStringLiteral("edtCombHint"));
  radDataFrom = new TRadioGroup({QStringLiteral("手工录入"), QStringLiteral("接口录入")}, 2, this);
  radDataFrom->setObjectName(QStringLiteral("radDataFrom"));
  radCateType = new TRadioGroup(
      {QStringLiteral("检查科"), QStringLiteral("检验科"), QStringLiteral("功能科")}, 3, this);
  radCateType->setObjectName(QStringLiteral("radCateType"));
  for (QWidget* hidden : std::initializer_list<QWidget*>{edtCombHint, radDataFrom, radCateType})
    hidden->hide();
}

void TfamCombItem::LayOutFields() {
  auto* grid = new QGridLayout(this);
  auto place = [this, grid](int row, int column, const QString& caption, QWidget* field) {
    grid->addWidget(new QLabel(caption, this), row, column * 2, Qt::AlignRight);
    grid->addWidget(field, row, column * 2 + 1);
  };
  place(0, 0, QStringLiteral("体检类别："), Cbbcate);
  place(0, 1, QStringLiteral("启用："), radIsInuse);
  place(1, 0, QStringLiteral("组合项目编号："), edtCombCode);
  place(1, 1, QStringLiteral("组合项目名称："), edtCombName);
  place(2, 0, QStringLiteral("显示顺序："), edtSort);
  place(2, 1, QStringLiteral("单价："), edtPrice);
  place(3, 0, QStringLiteral("拼音编码："), edtABForPY);
  place(3, 1, QStringLiteral("五笔编码："), edtABForWB);
  place(4, 0, QStringLiteral("自定义编码："), edtCustom);
  place(4, 1, QStringLiteral("收费类型："), combChargeType);
  place(5, 0, QStringLiteral("采样类型："), combSampleType);
  place(5, 1, QStringLiteral("使用试管："), cbbSampleGroup);
  place(6, 0, QStringLiteral("只收费不体检："), radIsHaveExamProcess);
  place(6, 1, QStringLiteral("可复检："), radIsSecCheck);
  for (int column : {1, 3}) grid->setColumnStretch(column, 1);
  grid->setRowStretch(7, 1);
}

// Texts end where their columns do, counted in GBK bytes.
void TfamCombItem::LimitWidths() {
  using FieldLimits::LimitGbkBytes;
  LimitGbkBytes(Cbbcate, ColumnWidths::ItemCateName);
  LimitGbkBytes(edtCombName, ColumnWidths::ItemName);
  LimitGbkBytes(edtABForPY, ColumnWidths::AbForPY);
  LimitGbkBytes(edtABForWB, ColumnWidths::AbForWB);
  LimitGbkBytes(edtCustom, ColumnWidths::AbCustom);
  LimitGbkBytes(combChargeType, ColumnWidths::ChargeType);
}

void TfamCombItem::ConnectHandlers() {
  ConnectExit(edtCombName, [this] { edtCombNameExit(); });
  ConnectHandler(combSampleType, &QComboBox::activated, this, [this] { combSampleTypeChange(); });
}

void TfamCombItem::LoadLists() {
  LookupLists::FillChargeTypes(combChargeType);
  LoadSampleTypes();
}

void TfamCombItem::LoadSampleTypes() {
  cbbSampleGroup->clear();  // its groups belong to a sample type of the old list
  sampleTypes_ = LookupLists::FillSampleTypes(combSampleType);
}

void TfamCombItem::LoadSampleGroups(int sampleTypeID) {
  cbbSampleGroup->clear();  // before the objects its entries carry go
  sampleGroups_ = std::make_unique<TDBObjectList>(true);
  if (sampleTypeID != -1)
    TSampleGroup(DomainObjects::SharedPool()).LoadListOfSampleType(sampleTypeID, *sampleGroups_);
  for (int i = 0; i < sampleGroups_->Count(); ++i) {
    auto* group = sampleGroups_->ItemAs<TSampleGroup>(i);
    cbbSampleGroup->addItem(QtText::ToQ(group->GroupName),
                            QVariant::fromValue(reinterpret_cast<quintptr>(group)));
  }
  cbbSampleGroup->setCurrentIndex(-1);
}

TCombItem* TfamCombItem::NewItem() {
  return newItem_.Make(DomainObjects::SharedPool());
}

void TfamCombItem::ShowItem(TCategory* category, TBaseItem* item) {
  if (!category) throw ETJItemException("请选择组合项目的类别！");
  if (!item) return;
  // Members changed in memory and never saved are dropped with the rest of
  // the unsaved input: the grid shows what a save would store. Read before
  // the frame takes the entry: a failed read leaves the frame as it was.
  if (!QtText::ToQ(item->ItemCode).trimmed().isEmpty() && item->Find() == 0)
    item->ReloadItemsIfChanged();
  TBaseItem* const shown = item_;
  TCategory* const shownCategory = category_;
  newItem_.Show(
      item,
      [&] {
        item_ = item;
        category_ = category;
        DisplayItem();
      },
      [&] {
        item_ = shown;
        category_ = shownCategory;
        if (item_) DisplayItem();
      });
}

void TfamCombItem::ClearToNewItem() {
  ShowItem(category_, NewItem());
}

void TfamCombItem::DisplayItem() {
  DisplayTexts();
  DisplaySample();
  radIsInuse->SetYes(item_->IsInUse);
  radIsSecCheck->SetYes(item_->IsSecCheck);
  // "是" is a charge-only entry: one that goes through no examination.
  radIsHaveExamProcess->SetYes(!item_->IsHaveExamProcess);
  if (IsNewItem()) ApplyNewItemDefaults();
}

bool TfamCombItem::IsNewItem() const {
  return edtCombCode->text().trimmed().isEmpty();
}

void TfamCombItem::DisplayTexts() {
  Cbbcate->setEditText(QtText::ToQ(category_->CateName));
  edtCombName->setText(QtText::ToQ(item_->ItemName));
  edtCombCode->setText(QtText::ToQ(item_->ItemCode));
  edtSort->setText(QString::number(item_->DispOrder));
  edtPrice->setText(FieldConvert::ShortestDecimal(item_->UnitPrice));
  edtABForPY->setText(QtText::ToQ(item_->AbForPY));
  edtABForWB->setText(QtText::ToQ(item_->AbForWB));
  edtCustom->setText(QtText::ToQ(item_->AbCustom));
  combChargeType->setEditText(QtText::ToQ(item_->ChargeType));
}

void TfamCombItem::DisplaySample() {
  LookupLists::ChooseSampleType(combSampleType, item_->SampleTypeID);
  // A new item starts on the sample type numbered 0, else on the first one.
  if (IsNewItem() && combSampleType->currentIndex() < 0 && combSampleType->count() > 0)
    combSampleType->setCurrentIndex(0);
  LoadSampleGroups(LookupLists::ChosenSampleTypeID(combSampleType));
  for (int i = 0; i < cbbSampleGroup->count(); ++i)
    if (GroupAt(cbbSampleGroup, i)->GroupID == item_->SampleGroupID)
      cbbSampleGroup->setCurrentIndex(i);
}

void TfamCombItem::ApplyNewItemDefaults() {
  const int32_t cateID = category_->GetCateIDByName(QtText::FromQ(Cbbcate->currentText()));
  edtSort->setText(QString::number(item_->NextDispOrder(cateID)));
  radIsInuse->SetYes(true);
  radIsHaveExamProcess->SetYes(false);
}

void TfamCombItem::ReadFields() {
  // Everything that can be refused comes first: a refusal leaves Item as it was.
  const int dispOrder = FieldConvert::ToInteger(edtSort->text(), QStringLiteral("显示顺序"));
  const double price = FieldConvert::ToFloat(edtPrice->text(), QStringLiteral("单价"),
                                             ColumnWidths::LargestUnitPrice);
  const std::string cateName = QtText::FromQ(Cbbcate->currentText());
  const int32_t cateID = LookupLists::CategoryIDOf(*category_, cateName);
  item_->CateID = cateID;
  item_->CateName = cateName;
  item_->DispOrder = dispOrder;
  item_->UnitPrice = price;
  item_->ItemType = kCombinationItem;
  ReadTexts();
  ReadChoices();
}

void TfamCombItem::ReadTexts() {
  item_->ItemCode = QtText::FromQ(edtCombCode->text());
  item_->ItemName = QtText::FromQ(edtCombName->text());
  item_->AbForPY = QtText::FromQ(edtABForPY->text());
  item_->AbForWB = QtText::FromQ(edtABForWB->text());
  item_->AbCustom = QtText::FromQ(edtCustom->text());
  item_->ChargeType = QtText::FromQ(combChargeType->currentText());
}

void TfamCombItem::ReadChoices() {
  const int32_t storedType = item_->SampleTypeID;
  // A stored item whose sample type or tube the lists do not offer keeps it:
  // a mere save never rewrites stored values the user did not touch.
  if (combSampleType->currentIndex() >= 0 || item_->ItemID == 0)
    item_->SampleTypeID = LookupLists::ChosenSampleTypeID(combSampleType);
  item_->SampleTypeName = QtText::FromQ(combSampleType->currentText());
  if (cbbSampleGroup->currentIndex() >= 0 || item_->SampleTypeID != storedType)
    item_->SampleGroupID = ChosenGroupID();
  item_->IsSecCheck = radIsSecCheck->IsYes();
  item_->IsInUse = radIsInuse->IsYes();
  item_->IsHaveExamProcess = !radIsHaveExamProcess->IsYes();
}

int TfamCombItem::ChosenGroupID() const {
  const int index = cbbSampleGroup->currentIndex();
  return index < 0 ? 0 : GroupAt(cbbSampleGroup, index)->GroupID;
}

int TfamCombItem::SaveItem(const std::function<void()>& collect) {
  if (!item_) throw ETJItemException("当前没有要保存的信息!");
  // The item may be a catalogue entry that trees and member lists show: a
  // refused save must not leave it holding members never stored (its values
  // are put back by the save itself).
  const std::string itemsString = item_->GetItemsString();
  const std::vector<TBaseItem*> members(item_->Items().begin(), item_->Items().end());
  auto restoreMembers = [&] {
    item_->ClearItems();
    for (TBaseItem* member : members) item_->AddItem(member);
    item_->SetItemsString(itemsString);
  };
  int result = 0;
  try {
    result = CatalogueEntries::Save(this, item_, [&] {
      ReadFields();
      if (collect) collect();
    });
  } catch (...) {
    restoreMembers();
    throw;
  }
  // Refused or deleted elsewhere: the members listed stay as they were. A
  // row changed elsewhere brought its own members with it.
  if (result == 0 || result == EntryWrites::kDeletedElsewhere) restoreMembers();
  if (result <= 0) return result;
  if (result == 2) {
    edtCombCode->setText(QtText::ToQ(item_->ItemCode));
    newItem_.HandOver(item_);  // the catalogue's now
    category_->AddItem(item_);
  }
  return result;
}

void TfamCombItem::edtCombNameExit() {
  edtABForPY->setText(
      QtText::ToQ(TCommon::Instance().GetPYCode(QtText::FromQ(edtCombName->text().trimmed()))));
}

void TfamCombItem::combSampleTypeChange() {
  if (combSampleType->count() == 0 || combSampleType->currentIndex() < 0) return;
  LoadSampleGroups(LookupLists::ChosenSampleTypeID(combSampleType));
}
