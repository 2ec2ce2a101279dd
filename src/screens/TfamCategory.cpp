#include "TfamCategory.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <memory>

#include "ColumnWidths.h"
#include "DomainObjects.h"
#include "EntryWrites.h"
#include "Exceptions.h"
#include "FieldConvert.h"
#include "FieldLimits.h"
#include "QtText.h"
#include "TCategory.h"
#include "TCategoryManager.h"
#include "TDateTime.h"
#include "TRadioGroup.h"
#include "UserRights.h"
#include "WidgetLook.h"

namespace {

// The name recorded as modifier: the host's current operator.
std::string CurrentOperatorName() {
  const TCurrentUser* user = DomainObjects::HostUser();
  return user ? GetOperator(*user).OperatorName : std::string();
}

}  // namespace

TfamCategory::TfamCategory(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("famCategory"));
  BuildFields();
  LayOutFields();
}

TfamCategory::~TfamCategory() = default;

void TfamCategory::BuildFields() {
  medtSort = WidgetLook::NamedEdit(this, QStringLiteral("medtSort"));
  edtCateName = WidgetLook::NamedEdit(this, QStringLiteral("edtCateName"));
  radCateType = new TRadioGroup(
      {QStringLiteral("检查科"), QStringLiteral("检验科"), QStringLiteral("功能科")}, 3, this);
  radCateType->setObjectName(QStringLiteral("radCateType"));
  edtCateInfo = WidgetLook::NamedEdit(this, QStringLiteral("edtCateInfo"));
  edtCateMemo = WidgetLook::NamedEdit(this, QStringLiteral("edtCateMemo"));
  radIsShowLimit = TRadioGroup::YesNo(this);
  radIsShowLimit->setObjectName(QStringLiteral("radIsShowLimit"));
  medtCateCode = WidgetLook::NamedEdit(this, QStringLiteral("medtCateCode"));
  WidgetLook::Grey(medtCateCode);
  edtModifyOper = WidgetLook::NamedEdit(this, QStringLiteral("edtModifyOper"));
  WidgetLook::Grey(edtModifyOper);
  edtModifyOper->setEnabled(false);
  makModifyDate = WidgetLook::NamedEdit(this, QStringLiteral("makModifyDate"));
  WidgetLook::Grey(makModifyDate);
  makModifyDate->setEnabled(false);
  makModifyDate->setPlaceholderText(QStringLiteral("    -  -  "));
  makModifyDate->setMinimumWidth(
      makModifyDate->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00")) + 16);
  for (QLineEdit* edit : {medtSort, edtCateName, edtCateInfo, edtCateMemo, medtCateCode})
    WidgetLook::ChineseInput(edit);
  LimitWidths();
  WidgetLook::ChainTabOrder({medtSort, edtCateName, radCateType, edtCateInfo, edtCateMemo,
                             radIsShowLimit, medtCateCode, edtModifyOper, makModifyDate});
}

void TfamCategory::LimitWidths() {
  using FieldLimits::LimitGbkBytes;
  LimitGbkBytes(medtCateCode, ColumnWidths::CateCode);
  LimitGbkBytes(edtCateName, ColumnWidths::CateName);
  LimitGbkBytes(edtCateInfo, ColumnWidths::CateInfo);
  LimitGbkBytes(edtCateMemo, ColumnWidths::CateRemark);
  LimitGbkBytes(edtModifyOper, ColumnWidths::ModifiedBy);
}

void TfamCategory::LayOutFields() {
  auto* grid = new QGridLayout(this);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  auto label = [this](const QString& text) { return new QLabel(text, this); };
  grid->addWidget(label(QStringLiteral("类别编号：")), 0, 0);
  grid->addWidget(medtCateCode, 0, 1);
  grid->addWidget(label(QStringLiteral("显示顺序：")), 0, 2);
  grid->addWidget(medtSort, 0, 3);
  grid->addWidget(label(QStringLiteral("类别名称：")), 1, 0);
  grid->addWidget(edtCateName, 1, 1, 1, 3);
  grid->addWidget(label(QStringLiteral("类别类型：")), 2, 0);
  grid->addWidget(radCateType, 2, 1, 1, 3);
  grid->addWidget(label(QStringLiteral("类别描述：")), 3, 0);
  grid->addWidget(edtCateInfo, 3, 1, 1, 3);
  grid->addWidget(label(QStringLiteral("备注：")), 4, 0);
  grid->addWidget(edtCateMemo, 4, 1, 1, 3);
  auto* question = new QHBoxLayout;
  question->addWidget(label(QStringLiteral("体检报告中显示本类别的单位及参考范围")));
  question->addWidget(radIsShowLimit, 1);
  grid->addLayout(question, 5, 0, 1, 4);
  grid->addWidget(label(QStringLiteral("修改人：")), 6, 0);
  grid->addWidget(edtModifyOper, 6, 1);
  grid->addWidget(label(QStringLiteral("最后修改时间：")), 6, 2);
  grid->addWidget(makModifyDate, 6, 3);
  grid->setRowStretch(7, 1);
}

void TfamCategory::ShowNewCategory() {
  newCategory_ = std::make_unique<TCategory>(DomainObjects::SharedPool());
  ShowCategory(newCategory_.get());
}

void TfamCategory::ShowCategory(TCategory* category) {
  if (category != newCategory_.get()) newCategory_.reset();
  category_ = category;
  if (category_ && category_->CateID) category_->Find();
  DisplayCategory();
}

void TfamCategory::DisplayCategory() {
  if (category_) DisplayValues(*category_);
}

void TfamCategory::DisplayValues(const TCategory& values) {
  medtCateCode->setText(QtText::ToQ(values.CateCode));
  medtSort->setText(QString::number(values.DispOrder));
  edtCateName->setText(QtText::ToQ(values.CateName));
  radCateType->SetItemIndex(values.CateType);
  edtCateInfo->setText(QtText::ToQ(values.CateInfo));
  edtCateMemo->setText(QtText::ToQ(values.Remark));
  radIsShowLimit->SetYes(values.IsDispInRep);
  edtModifyOper->setText(QtText::ToQ(CurrentOperatorName()));
  makModifyDate->setText(QtText::ToQ(TDateTime::Today().FormatDate()));
}

void TfamCategory::ReadFields() {
  // Convert first: a refused value must leave the category untouched.
  const int dispOrder = FieldConvert::ToInteger(medtSort->text(), QStringLiteral("显示顺序"));
  const TDateTime modified = TDateTime::Parse(QtText::FromQ(makModifyDate->text()));
  category_->CateCode = QtText::FromQ(medtCateCode->text());
  category_->DispOrder = dispOrder;
  category_->CateName = QtText::FromQ(edtCateName->text());
  // A stored type outside the three choices shows none chosen; it is kept.
  if (radCateType->ItemIndex() >= 0) category_->CateType = radCateType->ItemIndex();
  category_->CateInfo = QtText::FromQ(edtCateInfo->text());
  category_->Remark = QtText::FromQ(edtCateMemo->text());
  category_->IsDispInRep = radIsShowLimit->IsYes();
  category_->ModifiedBy = QtText::FromQ(edtModifyOper->text());
  category_->ModifiedDate = modified;
}

int TfamCategory::SaveCategory() {
  // The category may be the cache's, shown in the tree: a refused save must
  // not leave it holding values that were never stored.
  const int result = EntryWrites::Save<TCategoryFields>(this, *category_, [this] { ReadFields(); });
  if (result == EntryWrites::kChangedElsewhere) DisplayCategory();  // the row as it is now
  if (result <= 0) return result;
  if (result == 2) medtCateCode->setText(QtText::ToQ(category_->CateCode));
  // A saved new category belongs to the cache from now on.
  if (category_ == newCategory_.get()) newCategory_.release();
  TCategoryManager::Instance().AddCategory(category_);
  return result;
}

void TfamCategory::ClearFields() {
  category_ = nullptr;
  newCategory_.reset();
  try {
    auto blank = std::make_unique<TCategory>(DomainObjects::SharedPool());
    DisplayValues(*blank);
  } catch (const std::exception&) {
    throw ETJItemException("清空界面信息出现异常！");
  }
}
