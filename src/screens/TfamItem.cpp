#include "TfamItem.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "CatalogueEntries.h"
#include "ColumnWidths.h"
#include "DomainObjects.h"
#include "EntryWrites.h"
#include "FieldConvert.h"
#include "FieldEvents.h"
#include "FieldLimits.h"
#include "HandlerConnect.h"
#include "LookupLists.h"
#include "QtText.h"
#include "TCategory.h"
#include "TCommon.h"
#include "TComplexValue.h"
#include "TDBObjectList.h"
#include "TItem.h"
#include "TPromptService.h"
#include "TRadioGroup.h"
#include "WidgetLook.h"

namespace {

constexpr int kNumericResult = 1;  // position of "数值结果" in combResultType

QString Trimmed(const QString& text) {
  return text.trimmed();
}

// Chooses the entry whose text equals `text` exactly; none when no entry does.
void ChooseEqualEntry(QComboBox* combo, const std::string& text) {
  combo->setCurrentIndex(
      combo->findText(QtText::ToQ(text), Qt::MatchExactly | Qt::MatchCaseSensitive));
}

// A list-only combo box showing no entry keeps the stored value: a value the
// list does not offer is not lost by saving the item.
void ReadChosenText(const QComboBox* combo, std::string& value) {
  if (combo->currentIndex() >= 0) value = QtText::FromQ(combo->currentText());
}

}  // namespace

TfamItem::TfamItem(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("famItem"));
  BuildFields();
  LayOutFields();
  ConnectHandlers();
}

TfamItem::~TfamItem() = default;

void TfamItem::BuildFields() {
  using WidgetLook::NamedCombo;
  using WidgetLook::NamedEdit;
  Cbbcate = NamedCombo(this, QStringLiteral("Cbbcate"), true);
  edtItemCode = NamedEdit(this, QStringLiteral("edtItemCode"));
  edtItemCode->setEnabled(false);
  edtItemCode->setReadOnly(true);
  edtItemName = NamedEdit(this, QStringLiteral("edtItemName"));
  edtStandItemName = NamedEdit(this, QStringLiteral("edtStandItemName"));
  edtSortID = NamedEdit(this, QStringLiteral("edtSortID"));
  combSex = NamedCombo(this, QStringLiteral("combSex"), false,
                       {QStringLiteral("男"), QStringLiteral("女"), QStringLiteral("不限")});
  edtUnit = NamedEdit(this, QStringLiteral("edtUnit"));
  edtPY = NamedEdit(this, QStringLiteral("edtPY"));
  edtWB = NamedEdit(this, QStringLiteral("edtWB"));
  edtCustom = NamedEdit(this, QStringLiteral("edtCustom"));
  edtRightValue = NamedEdit(this, QStringLiteral("edtRightValue"));
  combResultType = NamedCombo(this, QStringLiteral("combResultType"), false,
                              {QStringLiteral("文字描述"), QStringLiteral("数值结果")});
  edtUpperLimit = NamedEdit(this, QStringLiteral("edtUpperLimit"));
  edtLowerLimit = NamedEdit(this, QStringLiteral("edtLowerLimit"));
  combHightHint = NamedCombo(this, QStringLiteral("combHightHint"), false,
                             {QStringLiteral("偏高"), QStringLiteral("↑"), QStringLiteral("偏高↑"),
                              QStringLiteral("过快")});
  combLowerHint = NamedCombo(this, QStringLiteral("combLowerHint"), false,
                             {QStringLiteral("偏低"), QStringLiteral("↓"), QStringLiteral("偏低↓"),
                              QStringLiteral("过缓")});
  edtMaxValue = NamedEdit(this, QStringLiteral("edtMaxValue"));
  edtMinValue = NamedEdit(this, QStringLiteral("edtMinValue"));
  combSampleType = NamedCombo(this, QStringLiteral("combSampleType"), false);
  edtPrice = NamedEdit(this, QStringLiteral("edtPrice"));
  combChargeType = NamedCombo(this, QStringLiteral("combChargeType"), true);
  edtValueFormat = NamedEdit(this, QStringLiteral("edtValueFormat"));
  auto yesNo = [this](const QString& name) {
    TRadioGroup* group = TRadioGroup::YesNo(this);
    group->setObjectName(name);
    group->SetYes(true);
    return group;
  };
  radIsRePorted = yesNo(QStringLiteral("radIsRePorted"));
  radIsHaveExamProcess = yesNo(QStringLiteral("radIsHaveExamProcess"));
  radIsSecCheck = yesNo(QStringLiteral("radIsSecCheck"));
  radIsInstrument = yesNo(QStringLiteral("radIsInstrument"));
  radIsInUse = yesNo(QStringLiteral("radIsInUse"));
  for (QWidget* field : std::initializer_list<QWidget*>{
           Cbbcate, edtItemName, edtStandItemName, edtSortID, edtUnit, edtPY, edtWB, edtCustom,
           edtRightValue, edtUpperLimit, edtLowerLimit, edtMaxValue, edtMinValue, edtPrice,
           combChargeType, edtValueFormat})
    WidgetLook::ChineseInput(field);
  LimitWidths();
  // Tab order 0 to 26 (a radio group's stop is its chosen button).
  WidgetLook::ChainTabOrder({edtItemCode,
                             edtItemName,
                             edtStandItemName,
                             edtSortID,
                             combSex,
                             edtUnit,
                             edtPY,
                             edtWB,
                             edtCustom,
                             edtRightValue,
                             combResultType,
                             edtUpperLimit,
                             edtLowerLimit,
                             combHightHint,
                             combLowerHint,
                             edtMaxValue,
                             edtMinValue,
                             combSampleType,
                             edtPrice,
                             combChargeType,
                             radIsSecCheck,
                             radIsRePorted,
                             radIsHaveExamProcess,
                             radIsInUse,
                             Cbbcate,
                             radIsInstrument,
                             edtValueFormat});
}

void TfamItem::LimitWidths() {
  using FieldLimits::LimitGbkBytes;
  LimitGbkBytes(Cbbcate, ColumnWidths::ItemCateName);
  LimitGbkBytes(edtItemCode, ColumnWidths::ItemCode);
  LimitGbkBytes(edtItemName, ColumnWidths::ItemName);
  LimitGbkBytes(edtStandItemName, ColumnWidths::StandItemName);
  LimitGbkBytes(edtUnit, ColumnWidths::ItemUnit);
  LimitGbkBytes(edtPY, ColumnWidths::AbForPY);
  LimitGbkBytes(edtWB, ColumnWidths::AbForWB);
  LimitGbkBytes(edtCustom, ColumnWidths::AbCustom);
  LimitGbkBytes(edtRightValue, ColumnWidths::NaturalResult);
  LimitGbkBytes(edtUpperLimit, ColumnWidths::UpLimit);
  LimitGbkBytes(edtLowerLimit, ColumnWidths::LowerLimit);
  LimitGbkBytes(edtMaxValue, ColumnWidths::Max);
  LimitGbkBytes(edtMinValue, ColumnWidths::Min);
  LimitGbkBytes(combChargeType, ColumnWidths::ChargeType);
  LimitGbkBytes(edtValueFormat, ColumnWidths::ValueFormat);
}

void TfamItem::LayOutFields() {
  auto* grid = new QGridLayout(this);
  auto place = [this, grid](int row, int column, const QString& caption, QWidget* field) {
    auto* label = new QLabel(caption, this);
    grid->addWidget(label, row, column * 2);
    if (field) grid->addWidget(field, row, column * 2 + 1);
    return label;
  };
  place(0, 0, QStringLiteral("体检类别："), Cbbcate);
  place(1, 0, QStringLiteral("项目编号："), edtItemCode);
  place(1, 1, QStringLiteral("项目名称："), edtItemName);
  place(1, 2, QStringLiteral("标准名称："), edtStandItemName);
  place(2, 0, QStringLiteral("显示顺序："), edtSortID);
  place(2, 1, QStringLiteral("适用性别："), combSex);
  place(2, 2, QStringLiteral("单位："), edtUnit);
  place(3, 0, QStringLiteral("拼音编码："), edtPY);
  place(3, 1, QStringLiteral("五笔编码："), edtWB);
  place(3, 2, QStringLiteral("自定义编码："), edtCustom);
  place(4, 0, QStringLiteral("正常结果："), edtRightValue);
  place(4, 1, QStringLiteral("结果类型："), combResultType);
  place(4, 2, QStringLiteral("参考上限："), edtUpperLimit);
  place(5, 0, QStringLiteral("参考下限："), edtLowerLimit);
  place(5, 1, QStringLiteral("偏高显示："), combHightHint);
  place(5, 2, QStringLiteral("偏低显示："), combLowerHint);
  place(6, 0, QStringLiteral("最大值："), edtMaxValue);
  place(6, 1, QStringLiteral("最小值："), edtMinValue);
  place(6, 2, QStringLiteral("采样类型："), combSampleType);
  place(7, 0, QStringLiteral("单价："), edtPrice);
  lblChargeType = place(7, 1, QStringLiteral("收费类型："), combChargeType);
  lblChargeType->setObjectName(QStringLiteral("lblChargeType"));
  lblChargeType->hide();
  combChargeType->hide();
  place(7, 2, QStringLiteral("结果值格式："), edtValueFormat);
  place(8, 0, QStringLiteral("是否小节："), radIsRePorted);
  place(8, 1, QStringLiteral("收费项目："), radIsHaveExamProcess)
      ->setToolTip(QStringLiteral("收费项目不进行体检"));
  place(8, 2, QStringLiteral("可复检："), radIsSecCheck);
  place(9, 0, QStringLiteral("源于仪器："), radIsInstrument)
      ->setToolTip(QStringLiteral("项目结果从仪器导入"));
  place(9, 1, QString(), nullptr);
  place(9, 2, QStringLiteral("启用："), radIsInUse);
  for (int column : {1, 3, 5}) grid->setColumnStretch(column, 1);
  grid->setRowStretch(10, 1);
}

void TfamItem::ConnectHandlers() {
  ConnectExit(edtItemName, [this] { edtItemNameExit(); });
  ConnectHandler(combResultType, &QComboBox::activated, this, [this] { combResultTypeChange(); });
  ConnectExit(edtValueFormat, [this] { edtValueFormatExit(); });
}

void TfamItem::LoadLists() {
  LookupLists::FillChargeTypes(combChargeType);
  LoadSampleTypes();
  categoryLookup_ = std::make_unique<TCategory>(DomainObjects::SharedPool());
}

void TfamItem::LoadSampleTypes() {
  sampleTypes_ = LookupLists::FillSampleTypes(combSampleType);
}

TItem* TfamItem::NewItem() {
  return newItem_.Make(DomainObjects::SharedPool());
}

void TfamItem::ShowItem(TBaseItem* item, const std::string& categoryName) {
  if (!item) return;
  TBaseItem* const shown = item_;
  const std::string shownCategory = categoryName_;
  newItem_.Show(
      item,
      [&] {
        item_ = item;
        categoryName_ = categoryName;
        DisplayItem();
      },
      [&] {
        item_ = shown;
        categoryName_ = shownCategory;
        if (item_) DisplayItem();
      });
}

void TfamItem::DisplayItem() {
  DisplayTexts();
  DisplayChoices();
  SyncValueFormatField();
  if (Trimmed(edtItemCode->text()).isEmpty()) ApplyNewItemDefaults();
}

void TfamItem::DisplayTexts() {
  Cbbcate->setEditText(QtText::ToQ(item_->CateName));
  edtItemCode->setText(QtText::ToQ(item_->ItemCode));
  edtItemName->setText(QtText::ToQ(item_->ItemName));
  edtSortID->setText(QString::number(item_->DispOrder));
  edtUnit->setText(QtText::ToQ(item_->ItemUnit));
  edtPY->setText(QtText::ToQ(item_->AbForPY));
  edtWB->setText(QtText::ToQ(item_->AbForWB));
  edtCustom->setText(QtText::ToQ(item_->AbCustom));
  edtRightValue->setText(QtText::ToQ(item_->NaturalResult));
  edtStandItemName->setText(QtText::ToQ(item_->StandItemName));
  edtUpperLimit->setText(QtText::ToQ(item_->UpLimit));
  edtLowerLimit->setText(QtText::ToQ(item_->LowerLimit));
  edtMaxValue->setText(QtText::ToQ(item_->Max));
  edtMinValue->setText(QtText::ToQ(item_->Min));
  edtPrice->setText(FieldConvert::ShortestDecimal(item_->UnitPrice));
  combChargeType->setEditText(QtText::ToQ(item_->ChargeType));
  edtValueFormat->setText(QtText::ToQ(item_->ValueFormat));
}

void TfamItem::DisplayChoices() {
  ChooseEqualEntry(combSex, item_->Sex);
  LookupLists::ChooseSampleType(combSampleType, item_->SampleTypeID);
  ChooseEqualEntry(combHightHint, item_->HintForUpper);
  ChooseEqualEntry(combLowerHint, item_->HintForLower);
  const bool knownType = item_->ResultType >= 0 && item_->ResultType < combResultType->count();
  combResultType->setCurrentIndex(knownType ? item_->ResultType : -1);
  radIsSecCheck->SetYes(item_->IsSecCheck);
  radIsRePorted->SetYes(item_->IsRePorted);
  radIsInUse->SetYes(item_->IsInUse);
  radIsHaveExamProcess->SetYes(!item_->IsHaveExamProcess);
  radIsInstrument->SetYes(item_->IsInstrument);
}

void TfamItem::ApplyNewItemDefaults() {
  Cbbcate->setEditText(QtText::ToQ(categoryName_));
  const int cateID = categoryLookup_->GetCateIDByName(categoryName_);
  edtSortID->setText(QString::number(item_->NextDispOrder(cateID)));
  radIsSecCheck->SetYes(true);
  radIsRePorted->SetYes(true);
  radIsInUse->SetYes(true);
  radIsHaveExamProcess->SetYes(false);
  // A new item starts on the first sample type when none has its number.
  if (combSampleType->currentIndex() < 0 && combSampleType->count() > 0)
    combSampleType->setCurrentIndex(0);
}

void TfamItem::SyncValueFormatField() {
  edtValueFormat->setEnabled(combResultType->currentIndex() == kNumericResult);
}

void TfamItem::ReadFields() {
  // The two conversions come first: a refused number leaves Item unchanged.
  const int dispOrder = FieldConvert::ToInteger(edtSortID->text(), QStringLiteral("显示顺序"));
  const double price = FieldConvert::ToFloat(edtPrice->text(), QStringLiteral("单价"),
                                             ColumnWidths::LargestUnitPrice);
  const std::string cateName = QtText::FromQ(Cbbcate->currentText());
  const int cateID = LookupLists::CategoryIDOf(*categoryLookup_, cateName);
  item_->CateName = cateName;
  item_->CateID = cateID;
  item_->DispOrder = dispOrder;
  item_->UnitPrice = price;
  ReadTexts();
  ReadChoices();
}

void TfamItem::ReadTexts() {
  item_->ItemCode = QtText::FromQ(edtItemCode->text());
  item_->ItemName = QtText::FromQ(edtItemName->text());
  item_->StandItemName = QtText::FromQ(edtStandItemName->text());
  item_->ItemUnit = QtText::FromQ(edtUnit->text());
  item_->AbForPY = QtText::FromQ(edtPY->text());
  item_->AbForWB = QtText::FromQ(edtWB->text());
  item_->AbCustom = QtText::FromQ(edtCustom->text());
  item_->NaturalResult = QtText::FromQ(edtRightValue->text());
  item_->UpLimit = QtText::FromQ(edtUpperLimit->text());
  item_->LowerLimit = QtText::FromQ(edtLowerLimit->text());
  item_->Max = QtText::FromQ(edtMaxValue->text());
  item_->Min = QtText::FromQ(edtMinValue->text());
  item_->ChargeType = QtText::FromQ(combChargeType->currentText());
  item_->ValueFormat = QtText::FromQ(Trimmed(edtValueFormat->text()));
}

void TfamItem::ReadChoices() {
  ReadChosenText(combSex, item_->Sex);
  ReadChosenText(combHightHint, item_->HintForUpper);
  ReadChosenText(combLowerHint, item_->HintForLower);
  if (combResultType->currentIndex() >= 0) item_->ResultType = combResultType->currentIndex();
  // A stored item whose sample type is not in the list keeps its number.
  if (combSampleType->currentIndex() >= 0 || item_->ItemID == 0)
    item_->SampleTypeID = GetSampleTypeID();
  item_->SampleTypeName = QtText::FromQ(combSampleType->currentText());
  item_->IsSecCheck = radIsSecCheck->IsYes();
  item_->IsRePorted = radIsRePorted->IsYes();
  item_->IsInUse = radIsInUse->IsYes();
  item_->IsHaveExamProcess = !radIsHaveExamProcess->IsYes();
  item_->IsInstrument = radIsInstrument->IsYes();
}

int TfamItem::GetSampleTypeID() const {
  return LookupLists::ChosenSampleTypeID(combSampleType);
}

int TfamItem::SaveItem() {
  const int result = CatalogueEntries::Save(this, item_, [this] { ReadFields(); });
  if (result == EntryWrites::kChangedElsewhere) ShowItem(item_, item_->CateName);
  if (result == 2) {
    edtItemCode->setText(QtText::ToQ(item_->ItemCode));
    newItem_.HandOver(item_);  // the catalogue's now
  }
  return result;
}

int TfamItem::DeleteItem() {
  if (item_->ItemID == 0) {
    // Never stored: there is no row to delete and no catalogue entry.
    ShowItem(NewItem(), categoryName_);
    return -1;
  }
  if (!EntryWrites::ConfirmDelete(this, QStringLiteral("您确定要删除该项目吗？"), item_->ItemCode,
                                  item_->ItemName))
    return -1;
  const int outcome = EntryWrites::RemoveConfirmed(this, *item_);
  if (outcome == 0) return -2;
  if (outcome == EntryWrites::kChangedElsewhere) {
    ShowItem(item_, item_->CateName);  // the row as it is now
    return -3;
  }
  // Other windows' trees and lists may still show the item: it is kept, not
  // freed, whether the catalogue or (never saved) the frame held it.
  if (!CatalogueEntries::Retire(item_)) CatalogueEntries::KeepRetired(newItem_.HandOver(item_));
  ShowItem(NewItem(), categoryName_);
  return 0;
}

void TfamItem::edtItemNameExit() {
  edtStandItemName->setText(edtItemName->text());
  edtPY->setText(
      QtText::ToQ(TCommon::Instance().GetPYCode(QtText::FromQ(edtItemName->text().trimmed()))));
}

void TfamItem::combResultTypeChange() {
  SyncValueFormatField();
}

void TfamItem::edtValueFormatExit() {
  TComplexValue parser;
  parser.Parse(QtText::FromQ(edtValueFormat->text()));
}
