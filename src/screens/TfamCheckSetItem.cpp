#include "TfamCheckSetItem.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>
#include <cmath>

#include "CatalogueEntries.h"
#include "ColumnWidths.h"
#include "DomainObjects.h"
#include "FieldConvert.h"
#include "FieldEvents.h"
#include "FieldLimits.h"
#include "QtText.h"
#include "TCheckSet.h"
#include "TCommon.h"
#include "TDBObjectList.h"
#include "TRadioGroup.h"
#include "TSfChargeItem.h"
#include "WidgetLook.h"

namespace {

constexpr int kCheckSet = 2;           // ItemType of a check set
constexpr int kUnknownSampleType = 5;  // every check set is saved with it
constexpr const char* kUnknownSampleTypeName = "未知";
constexpr int kMemberRole = Qt::UserRole;  // the member an entry stands for

bool Blank(const std::string& text) {
  return QtText::ToQ(text).trimmed().isEmpty();
}

}  // namespace

TfamCheckSetItem::TfamCheckSetItem(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("famCheckSetItem"));
  BuildFields();
  LayOutFields();
  ChainTabOrder();  // once the fields sit in their boxes: moving them resets the order
  ConnectExit(edtCheckSetName, [this] { edtCheckSetNameExit(); });
}

TfamCheckSetItem::~TfamCheckSetItem() = default;

void TfamCheckSetItem::BuildFields() {
  using WidgetLook::NamedCombo;
  using WidgetLook::NamedEdit;
  edtCheckSetCode = NamedEdit(this, QStringLiteral("edtCheckSetCode"));
  edtCheckSetCode->setReadOnly(true);
  WidgetLook::Grey(edtCheckSetCode);
  edtCheckSetName = NamedEdit(this, QStringLiteral("edtCheckSetName"));
  combSex = NamedCombo(this, QStringLiteral("combSex"), false,
                       {QStringLiteral("男"), QStringLiteral("女"), QStringLiteral("不限")});
  edtSort = NamedEdit(this, QStringLiteral("edtSort"));
  edtPrice = NamedEdit(this, QStringLiteral("edtPrice"));
  edtABForPY = NamedEdit(this, QStringLiteral("edtABForPY"));
  edtABForWB = NamedEdit(this, QStringLiteral("edtABForWB"));
  edtCustom = NamedEdit(this, QStringLiteral("edtCustom"));
  combChargeType = NamedCombo(this, QStringLiteral("combChargeType"), true);
  edtRemark = NamedEdit(this, QStringLiteral("edtRemark"));
  combSampleType = NamedCombo(this, QStringLiteral("combSampleType"), false);
  radIsInUse = TRadioGroup::YesNo(this);
  radIsInUse->setObjectName(QStringLiteral("radIsInUse"));
  radIsHaveExamProcess = TRadioGroup::YesNo(this);
  radIsHaveExamProcess->setObjectName(QStringLiteral("radIsHaveExamProcess"));
  edtModifyOper = NamedEdit(this, QStringLiteral("edtModifyOper"));
  makModifyDate = NamedEdit(this, QStringLiteral("makModifyDate"));
  makModifyDate->setMaxLength(8);
  for (QLineEdit* unused : {edtModifyOper, makModifyDate}) {
    unused->setEnabled(false);
    unused->setReadOnly(true);
  }
  FieldLimits::LimitGbkBytes(edtCheckSetName, ColumnWidths::ItemName);
  FieldLimits::LimitGbkBytes(edtABForPY, ColumnWidths::AbForPY);
  FieldLimits::LimitGbkBytes(edtABForWB, ColumnWidths::AbForWB);
  FieldLimits::LimitGbkBytes(edtCustom, ColumnWidths::AbCustom);
  FieldLimits::LimitGbkBytes(combChargeType, ColumnWidths::ChargeType);
  lstSelCombItem = new QListWidget(this);
  lstSelCombItem->setObjectName(QStringLiteral("lstSelCombItem"));
  for (QWidget* field : std::initializer_list<QWidget*>{edtCheckSetCode, edtCheckSetName, edtSort,
                                                        edtPrice, edtABForPY, edtABForWB, edtCustom,
                                                        edtRemark, combSex, lstSelCombItem})
    WidgetLook::ChineseInput(field, WidgetLook::PinyinImeName);
  WidgetLook::ChineseInput(combChargeType);
  WidgetLook::ChineseInput(combSampleType);
}

void TfamCheckSetItem::ChainTabOrder() {
  // Tab order 0 to 14 (12 and 13 are the hidden modifier fields).
  WidgetLook::ChainTabOrder({edtCheckSetName, combSex, radIsInUse, edtSort, edtPrice, edtABForPY,
                             edtABForWB, edtCustom, combChargeType, combSampleType, edtRemark,
                             edtCheckSetCode, edtModifyOper, makModifyDate, radIsHaveExamProcess});
}

void TfamCheckSetItem::LayOutFields() {
  GroupBox2 = new QGroupBox(QStringLiteral("基本信息"));
  GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
  auto* grid = new QGridLayout(GroupBox2);
  auto place = [this, grid](int row, int column, const QString& caption, QWidget* field) {
    auto* label = new QLabel(caption, GroupBox2);
    grid->addWidget(label, row, column * 2);
    grid->addWidget(field, row, column * 2 + 1);
    return label;
  };
  place(0, 0, QStringLiteral("套餐编号："), edtCheckSetCode);
  place(0, 1, QStringLiteral("套餐名称："), edtCheckSetName);
  place(1, 0, QStringLiteral("适用性别："), combSex);
  place(1, 1, QStringLiteral("显示顺序："), edtSort);
  place(2, 0, QStringLiteral("单价："), edtPrice);
  place(2, 1, QStringLiteral("拼音编码："), edtABForPY);
  place(3, 0, QStringLiteral("五笔编码："), edtABForWB);
  place(3, 1, QStringLiteral("自定义编码："), edtCustom);
  place(4, 0, QStringLiteral("收费类型："), combChargeType);
  place(4, 1, QStringLiteral("备注："), edtRemark);
  place(5, 0, QStringLiteral("启用："), radIsInUse);
  place(5, 1, QStringLiteral("采样类型："), combSampleType)->hide();
  combSampleType->hide();
  place(6, 0, QStringLiteral("只收费不体检："), radIsHaveExamProcess);
  place(7, 0, QStringLiteral("修改人："), edtModifyOper)->hide();
  place(7, 1, QStringLiteral("最后修改时间："), makModifyDate)->hide();
  edtModifyOper->hide();
  makModifyDate->hide();
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  // Beside the price: the members' prices now, when they no longer add up
  // to the stored price (a member's price changed since the set was saved).
  lblMembersPrice = new QLabel(GroupBox2);
  lblMembersPrice->setObjectName(QStringLiteral("lblMembersPrice"));
  grid->addWidget(lblMembersPrice, 8, 0, 1, 4);

  Panel2 = new QWidget;
  Panel2->setObjectName(QStringLiteral("Panel2"));
  auto* top = new QVBoxLayout(Panel2);
  top->setContentsMargins(0, 0, 0, 0);
  top->addWidget(GroupBox2, 1);
  top->addWidget(BuildButtons());

  Panel1 = new QWidget;
  Panel1->setObjectName(QStringLiteral("Panel1"));
  GroupBox5 = new QGroupBox(QStringLiteral("体检组合项目"), Panel1);
  GroupBox5->setObjectName(QStringLiteral("GroupBox5"));
  (new QVBoxLayout(GroupBox5))->addWidget(lstSelCombItem);
  auto* bottom = new QVBoxLayout(Panel1);
  bottom->setContentsMargins(0, 0, 0, 0);
  bottom->addWidget(GroupBox5);

  Splitter1 = new QSplitter(Qt::Vertical, this);
  Splitter1->setObjectName(QStringLiteral("Splitter1"));
  Splitter1->setHandleWidth(3);
  Splitter1->setChildrenCollapsible(false);
  Splitter1->addWidget(Panel2);
  Splitter1->addWidget(Panel1);
  Splitter1->setStretchFactor(1, 1);
  Splitter1->setSizes({274, 300});
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Splitter1);
}

QWidget* TfamCheckSetItem::BuildButtons() {
  using WidgetLook::NamedButton;
  GroupBox4 = new QGroupBox(Panel2);
  GroupBox4->setObjectName(QStringLiteral("GroupBox4"));
  GroupBox4->setFixedHeight(49);
  btnAdd = NamedButton(GroupBox4, QStringLiteral("btnAdd"), QStringLiteral("增加&A"));
  btnSave = NamedButton(GroupBox4, QStringLiteral("btnSave"), QStringLiteral("保存&S"));
  btnCancel = NamedButton(GroupBox4, QStringLiteral("btnCancel"), QStringLiteral("取消&C"));
  btnDelete = NamedButton(GroupBox4, QStringLiteral("btnDelete"), QStringLiteral("删除&D"));
  btnPrintForm =
      NamedButton(GroupBox4, QStringLiteral("btnPrintForm"), QStringLiteral("打印编码表&P"));
  btnExit = NamedButton(GroupBox4, QStringLiteral("btnExit"), QStringLiteral("退出&E"));
  auto* row = new QHBoxLayout(GroupBox4);
  for (QPushButton* button : {btnAdd, btnSave, btnCancel, btnDelete, btnPrintForm, btnExit})
    row->addWidget(button);
  row->addStretch(1);
  return GroupBox4;
}

void TfamCheckSetItem::LoadLists() {
  TDBObjectList chargeItems(true);
  TSfChargeItem(DomainObjects::SharedPool()).LoadAll(chargeItems);
  for (int i = 0; i < chargeItems.Count(); ++i)
    combChargeType->addItem(QtText::ToQ(chargeItems.ItemAs<TSfChargeItem>(i)->ItemName));
  combChargeType->setCurrentIndex(-1);
}

TCheckSet* TfamCheckSetItem::NewCheckSet() {
  return newCheckSet_.Make(DomainObjects::SharedPool());
}

bool TfamCheckSetItem::IsNewCheckSet() const {
  return !checkSet_ || checkSet_->ItemID == 0;
}

void TfamCheckSetItem::ShowCheckSet(TBaseItem* checkSet) {
  if (!checkSet) return;
  if (!Blank(checkSet->ItemCode) && checkSet->Find() == 0) {
    // Members chosen but never saved are dropped with the other unsaved
    // input: the list shows what a save would store.
    checkSet->ReloadItemsIfChanged();
  }
  TBaseItem* const shown = checkSet_;
  newCheckSet_.Show(
      checkSet,
      [&] {
        checkSet_ = checkSet;
        DisplayCheckSet();
        ShowMembers();
      },
      [&] {
        checkSet_ = shown;
        if (!checkSet_) return;
        DisplayCheckSet();
        ShowMembers();
      });
}

void TfamCheckSetItem::ClearToNewCheckSet() {
  ShowCheckSet(NewCheckSet());
}

void TfamCheckSetItem::DisplayCheckSet() {
  edtCheckSetName->setText(QtText::ToQ(checkSet_->ItemName));
  edtCheckSetCode->setText(QtText::ToQ(checkSet_->ItemCode));
  edtSort->setText(QString::number(checkSet_->DispOrder));
  combSex->setCurrentIndex(
      combSex->findText(QtText::ToQ(checkSet_->Sex), Qt::MatchExactly | Qt::MatchCaseSensitive));
  edtRemark->setText(QtText::ToQ(checkSet_->Remark));
  edtPrice->setText(FieldConvert::ShortestDecimal(checkSet_->UnitPrice));
  edtABForPY->setText(QtText::ToQ(checkSet_->AbForPY));
  edtABForWB->setText(QtText::ToQ(checkSet_->AbForWB));
  edtCustom->setText(QtText::ToQ(checkSet_->AbCustom));
  combChargeType->setEditText(QtText::ToQ(checkSet_->ChargeType));
  radIsInUse->SetYes(checkSet_->IsInUse);
  // On this screen "是" stands for a stored 1 (see the architecture notes).
  radIsHaveExamProcess->SetYes(checkSet_->IsHaveExamProcess);
  if (Blank(checkSet_->ItemCode)) {
    radIsInUse->SetYes(true);
    edtSort->setText(QString::number(checkSet_->NextCheckSetDispOrder()));
  }
}

void TfamCheckSetItem::ReadFields() {
  // The conversions come first: a refused number leaves CheckSet unchanged.
  // (A negative price is refused by the set's own check on saving.)
  const int dispOrder = FieldConvert::ToInteger(edtSort->text(), QStringLiteral("显示顺序"));
  const double price = FieldConvert::ToFloat(edtPrice->text(), QStringLiteral("单价"),
                                             ColumnWidths::LargestUnitPrice);
  checkSet_->DispOrder = dispOrder;
  checkSet_->UnitPrice = price;
  ReadTexts();
  // A stored sex the list does not offer is kept rather than emptied.
  if (combSex->currentIndex() >= 0) checkSet_->Sex = QtText::FromQ(combSex->currentText());
  checkSet_->SampleTypeID = kUnknownSampleType;
  checkSet_->SampleTypeName = kUnknownSampleTypeName;
  checkSet_->IsInUse = radIsInUse->IsYes();
  checkSet_->IsHaveExamProcess = radIsHaveExamProcess->IsYes();
  checkSet_->ItemType = kCheckSet;
}

void TfamCheckSetItem::ReadTexts() {
  checkSet_->ItemName = QtText::FromQ(edtCheckSetName->text());
  checkSet_->Remark = QtText::FromQ(edtRemark->text());
  checkSet_->AbForPY = QtText::FromQ(edtABForPY->text());
  checkSet_->AbForWB = QtText::FromQ(edtABForWB->text());
  checkSet_->AbCustom = QtText::FromQ(edtCustom->text());
  checkSet_->ChargeType = QtText::FromQ(combChargeType->currentText());
}

int TfamCheckSetItem::SaveCheckSet() {
  const int result = CatalogueEntries::Save(this, checkSet_, [this] { ReadFields(); });
  if (result == 2) {
    edtCheckSetCode->setText(QtText::ToQ(checkSet_->ItemCode));
    newCheckSet_.HandOver(checkSet_);  // the catalogue's now
  }
  return result;
}

void TfamCheckSetItem::ShowMembers() {
  lstSelCombItem->clear();
  if (!checkSet_) return;
  // Built before they are listed: the first showing of a set lists its
  // members as the selection page shows them chosen.
  checkSet_->LoadItems();
  double sum = 0.0;
  for (TBaseItem* member : checkSet_->Items()) {
    auto* entry = new QListWidgetItem(QtText::ToQ(member->ItemName), lstSelCombItem);
    entry->setData(kMemberRole, QVariant::fromValue(reinterpret_cast<quintptr>(member)));
    sum += member->UnitPrice;
  }
  ShowMembersPrice(sum);
}

void TfamCheckSetItem::ShowMembersPrice(double sum) {
  // Prices are stored with two decimals: a difference below a cent is none.
  const bool differs =
      checkSet_ && !checkSet_->Items().IsEmpty() && std::abs(sum - checkSet_->UnitPrice) >= 0.005;
  lblMembersPrice->setText(differs ? QStringLiteral("成员现价合计：%1（与套餐单价不同）")
                                         .arg(FieldConvert::ShortestDecimal(sum))
                                   : QString());
}

TBaseItem* TfamCheckSetItem::MemberAt(int row) const {
  const QListWidgetItem* entry = lstSelCombItem->item(row);
  return entry ? reinterpret_cast<TBaseItem*>(entry->data(kMemberRole).value<quintptr>()) : nullptr;
}

void TfamCheckSetItem::edtCheckSetNameExit() {
  edtABForPY->setText(
      QtText::ToQ(TCommon::Instance().GetPYCode(QtText::FromQ(edtCheckSetName->text().trimmed()))));
}
