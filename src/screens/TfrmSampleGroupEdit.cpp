#include "TfrmSampleGroupEdit.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

#include "ColumnWidths.h"
#include "Exceptions.h"
#include "FieldLimits.h"
#include "QtText.h"
#include "TDBObjectList.h"
#include "TMDIChild.h"
#include "TPromptService.h"
#include "TSampleType.h"
#include "WidgetLook.h"

TfrmSampleGroupEdit::TfrmSampleGroupEdit(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("frmSampleGroupEdit"));
  setWindowTitle(QStringLiteral("编辑试管类型"));
  setFont(MaintenanceWindowFont());
  BuildLayout();
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  resize(344, 189);
}

void TfrmSampleGroupEdit::BuildLayout() {
  cbbSampleType = WidgetLook::NamedCombo(this, QStringLiteral("cbbSampleType"), false);
  edtSampleGroupName = WidgetLook::NamedEdit(this, QStringLiteral("edtSampleGroupName"));
  WidgetLook::ChineseInput(edtSampleGroupName);
  FieldLimits::LimitGbkBytes(edtSampleGroupName, ColumnWidths::GroupName);
  lblSampleType = new QLabel(QStringLiteral("样品类型："), this);
  lblSampleType->setBuddy(cbbSampleType);
  lblSampleGroupName = new QLabel(QStringLiteral("样品试管名："), this);
  lblSampleGroupName->setBuddy(edtSampleGroupName);
  btnOK = WidgetLook::NamedButton(this, QStringLiteral("btnOK"), QStringLiteral("确定"));
  btnCancel = WidgetLook::NamedButton(this, QStringLiteral("btnCancel"), QStringLiteral("取消"));
  btnOK->setDefault(true);  // Enter in the name field confirms; Esc cancels

  auto* fields = new QGridLayout;
  fields->addWidget(lblSampleType, 0, 0, Qt::AlignRight);
  fields->addWidget(cbbSampleType, 0, 1);
  fields->addWidget(lblSampleGroupName, 1, 0, Qt::AlignRight);
  fields->addWidget(edtSampleGroupName, 1, 1);
  fields->setColumnStretch(1, 1);
  fields->setVerticalSpacing(14);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 24, 24, 16);
  layout->addLayout(fields);
  layout->addStretch(1);
  layout->addLayout(buttons);
  WidgetLook::ChainTabOrder({cbbSampleType, edtSampleGroupName, btnOK, btnCancel});
}

void TfrmSampleGroupEdit::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  if (const QScreen* where = screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(where->availableGeometry().center());
    move(frame.topLeft());
  }
}

void TfrmSampleGroupEdit::SetSampleTypes(const TDBObjectList& sampleTypes) {
  sampleTypes_ = &sampleTypes;
  cbbSampleType->clear();
  for (int i = 0; i < sampleTypes.Count(); ++i) {
    const auto* sampleType = sampleTypes.ItemAs<TSampleType>(i);
    cbbSampleType->addItem(QtText::ToQ(sampleType->SampleTypeName),
                           QVariant::fromValue(reinterpret_cast<quintptr>(sampleType)));
  }
  cbbSampleType->setCurrentIndex(-1);
}

void TfrmSampleGroupEdit::SetSampleTypeID(int32_t sampleTypeID) {
  sampleTypeID_ = sampleTypeID;
  if (!sampleTypes_) return;
  // The entries follow the list, so the first match in the list is the
  // entry at the same position.
  for (int i = 0; i < sampleTypes_->Count(); ++i) {
    if (sampleTypes_->ItemAs<TSampleType>(i)->SampleTypeID == sampleTypeID) {
      cbbSampleType->setCurrentIndex(i);
      return;
    }
  }
}

void TfrmSampleGroupEdit::SetGroupName(const std::string& groupName) {
  edtSampleGroupName->setText(QtText::ToQ(groupName));
}

int32_t TfrmSampleGroupEdit::GetSampleTypeID() const {
  const int index = cbbSampleType->currentIndex();
  if (index < 0) return sampleTypeID_;
  return reinterpret_cast<const TSampleType*>(cbbSampleType->itemData(index).value<quintptr>())
      ->SampleTypeID;
}

std::string TfrmSampleGroupEdit::GetGroupName() const {
  return QtText::FromQ(edtSampleGroupName->text());
}

bool TfrmSampleGroupEdit::LacksSampleType() const {
  return cbbSampleType->currentIndex() < 0 && GetSampleTypeID() == 0;
}

QString TfrmSampleGroupEdit::MissingEntry() const {
  if (LacksSampleType()) return QStringLiteral("请选择样品类型。");
  // A name of blanks is no name either.
  if (edtSampleGroupName->text().trimmed().isEmpty()) return QStringLiteral("请输入样品试管名。");
  return {};
}

void TfrmSampleGroupEdit::RequireEntries() const {
  const QString missing = MissingEntry();
  if (!missing.isEmpty()) throw ETJSampleGroupException(QtText::FromQ(missing));
}

void TfrmSampleGroupEdit::accept() {
  const QString missing = MissingEntry();
  if (missing.isEmpty()) {
    QDialog::accept();
    return;
  }
  TPromptService::Warning(this, QStringLiteral("提示"), missing);
  if (LacksSampleType())
    cbbSampleType->setFocus(Qt::OtherFocusReason);
  else
    edtSampleGroupName->setFocus(Qt::OtherFocusReason);
}
