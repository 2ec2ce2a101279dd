#include "TfrmCategorie.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "CatalogueRules.h"
#include "CodeTableText.h"
#include "EntryWrites.h"
#include "FieldEvents.h"
#include "Format.h"
#include "HandlerConnect.h"
#include "QtText.h"
#include "TCategory.h"
#include "TCategoryManager.h"
#include "THistoryDialog.h"
#include "TImageList.h"
#include "TPermissionAction.h"
#include "TPromptService.h"
#include "TRadioGroup.h"
#include "TTableReport.h"
#include "TfamCateTree.h"
#include "TfamCategory.h"
#include "WidgetLook.h"

TfrmCategorie::TfrmCategorie(IWinMain* host) : TMDIChild(host) {
  setObjectName(QStringLiteral("frmCategorie"));
  setWindowTitle(QStringLiteral("类别维护"));
  BindOnDestroyToFormDestroy();
  imgTree = new TImageList(this);
  imgTree->setObjectName(QStringLiteral("imgTree"));
  imgTree->FillWithMaintenanceGlyphs(19);
  BuildLayout();
  BuildPermissionActions();
  ConnectHandlers();
  follower_ = std::make_unique<TCatalogueFollower>(this, [this] { famCateTree->BuildTree(); });
  // A fixed, dialog-like frame: system menu and minimise only.
  setFixedSize(641, 413);
  if (QMdiSubWindow* sub = SubWindow())
    sub->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowMinimizeButtonHint);
}

void TfrmCategorie::BuildLayout() {
  GroupBox1 = new QGroupBox(QStringLiteral("类别"));
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  famCateTree = new TfamCateTree(GroupBox1);
  (new QVBoxLayout(GroupBox1))->addWidget(famCateTree);

  Panel1 = new QWidget;
  Panel1->setObjectName(QStringLiteral("Panel1"));
  GroupBox2 = new QGroupBox(QStringLiteral("类别信息"), Panel1);
  GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
  famCategory = new TfamCategory(GroupBox2);
  (new QVBoxLayout(GroupBox2))->addWidget(famCategory);
  auto* panelLayout = new QVBoxLayout(Panel1);
  panelLayout->setContentsMargins(0, 0, 0, 0);
  panelLayout->addWidget(GroupBox2, 1);
  panelLayout->addWidget(BuildButtons());

  Splitter1 = new QSplitter(Qt::Horizontal, this);
  Splitter1->setObjectName(QStringLiteral("Splitter1"));
  Splitter1->setHandleWidth(3);
  Splitter1->setChildrenCollapsible(false);
  Splitter1->addWidget(GroupBox1);
  Splitter1->addWidget(Panel1);
  Splitter1->setStretchFactor(0, 0);
  Splitter1->setStretchFactor(1, 1);
  Splitter1->setSizes({225, 413});
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(Splitter1);
}

QWidget* TfrmCategorie::BuildButtons() {
  GroupBox3 = new QGroupBox(Panel1);
  GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
  GroupBox3->setFixedHeight(90);
  btnADD = WidgetLook::NamedButton(GroupBox3, QStringLiteral("btnADD"), QStringLiteral("增加&A"));
  btnSave = WidgetLook::NamedButton(GroupBox3, QStringLiteral("btnSave"), QStringLiteral("保存&S"));
  btnPrintForm = WidgetLook::NamedButton(GroupBox3, QStringLiteral("btnPrintForm"),
                                         QStringLiteral("打印编码表&P"));
  btnDelete =
      WidgetLook::NamedButton(GroupBox3, QStringLiteral("btnDelete"), QStringLiteral("删除&D"));
  btnHistory =
      WidgetLook::NamedButton(GroupBox3, QStringLiteral("btnHistory"), QStringLiteral("历史&H"));
  btnCancel =
      WidgetLook::NamedButton(GroupBox3, QStringLiteral("btnCancel"), QStringLiteral("取消&C"));
  btnExit = WidgetLook::NamedButton(GroupBox3, QStringLiteral("btnExit"), QStringLiteral("退出&E"));
  auto* grid = new QGridLayout(GroupBox3);
  grid->addWidget(btnADD, 0, 0);
  grid->addWidget(btnSave, 0, 1);
  grid->addWidget(btnPrintForm, 0, 2);
  grid->addWidget(btnDelete, 1, 0);
  grid->addWidget(btnCancel, 1, 1);
  grid->addWidget(btnHistory, 2, 0);
  grid->addWidget(btnExit, 1, 2);
  return GroupBox3;
}

void TfrmCategorie::BuildPermissionActions() {
  const ActionMaker PermissionAction = PermissionActionsOf("类别", imgTree);
  pmCategoryAdd = PermissionAction(QStringLiteral("pmCategoryAdd"), QStringLiteral("增加(&A)"),
                                   CatalogueRules::kCategoryAdd, 11);
  pmCategoryDelete = PermissionAction(QStringLiteral("pmCategoryDelete"),
                                      QStringLiteral("删除(&D)"), "TJXT201002", 15);
  pmCategorySave = PermissionAction(QStringLiteral("pmCategorySave"), QStringLiteral("保存(&S)"),
                                    "TJXT201004", 14);
  pmCategoryCancel = PermissionAction(QStringLiteral("pmCategoryCancel"),
                                      QStringLiteral("取消(&C)"), "TJXT201005", 18);
  pmCategoryPrintForm = PermissionAction(QStringLiteral("pmCategoryPrintForm"),
                                         QStringLiteral("打印编码表(&P)"), "TJXT201006", 12);
  pmCategoryHistory = PermissionAction(QStringLiteral("pmCategoryHistory"),
                                       QStringLiteral("历史(&H)"), "TJXT201007", 12);
  pmCategoryHistory->InvisibleIfNoRight = true;
}

void TfrmCategorie::ConnectHandlers() {
  AddCommand(btnADD, pmCategoryAdd, [this] { btnADDClick(); });
  AddCommand(btnSave, pmCategorySave, [this] { btnSaveClick(); });
  AddCommand(btnDelete, pmCategoryDelete, [this] { btnDeleteClick(); });
  AddCommand(btnCancel, pmCategoryCancel, [this] { btnCancelClick(); });
  AddCommand(btnPrintForm, pmCategoryPrintForm, [this] { btnPrintFormClick(); });
  AddCommand(btnExit, nullptr, [this] { btnExitClick(); });
  AddCommand(btnHistory, pmCategoryHistory,
             [this] { THistoryDialog::ShowFor(this, famCategory->Category()); });
  ConnectTreeClick(famCateTree->chkCateTree, [this] { famCateTreechkCateTreeClick(); });
  ConnectExit(famCategory->edtCateMemo, [this] { famCategoryedtCateMemoExit(); });
  EnterMovesToNextControl(this);  // the window's key preview (FormKeyPress)
}

void TfrmCategorie::FormShow(QObject* sender) {
  TMDIChild::FormShow(sender);
  // The frame keeps the dialog-like fixed size, maximised or not.
  if (QMdiSubWindow* sub = SubWindow(); sub && !sub->isMaximized()) sub->setFixedSize(sub->size());
  famCateTree->SetImageIndex(2);
  famCateTree->SetSelectedIndex(3);
  if (!ReadDataOrClose("读取类别数据失败，类别维护窗口不能使用。",
                       [this] { famCateTree->BuildTree(); }))
    return;
  // Opening on a new category is no use of the add right: storing it needs
  // the add right as well as the save right.
  StartNewCategory();
}

void TfrmCategorie::StartNewCategory() {
  famCategory->ShowNewCategory();
  famCategory->medtSort->setFocus();
}

void TfrmCategorie::btnADDClick() {
  StartNewCategory();
}

void TfrmCategorie::btnSaveClick() {
  TCategory* category = famCategory->Category();
  if (!category) {
    // After Cancel or Delete the fields are blank but belong to no category.
    TPromptService::Information(
        this, QStringLiteral("提示"),
        QStringLiteral("没有正在编辑的类别：请先按“增加”新建类别，或在左边选择一个类别。"));
    return;
  }
  const int result = famCategory->SaveCategory();
  if (result == EntryWrites::kDeletedElsewhere) {
    famCateTree->RemoveCategoryNode(category);  // frees it: the editor lets go next
    famCategory->ClearFields();
  } else if (result != 0) {
    famCateTree->UpdateCategoryNode(category);
  }
}

void TfrmCategorie::btnDeleteClick() {
  // The category on screen, never one pressed earlier in the tree; a new
  // one has no row yet.
  TCategory* category = famCategory->Category();
  if (!category || !category->CateID) return;
  const QString question =
      QtText::ToQ(FormatText("您确定要删除类别“%s”吗？", {category->CateName}));
  const int deleted =
      EntryWrites::Delete(this, *category, question, category->CateCode, category->CateName);
  if (deleted == EntryWrites::kChangedElsewhere) {
    famCategory->DisplayCategory();  // the row as it is now
    famCateTree->UpdateCategoryNode(category);
  }
  if (deleted != 1) return;
  famCateTree->RemoveCategoryNode(category);  // frees it: the editor lets go next
  famCategory->ClearFields();
}

void TfrmCategorie::btnCancelClick() {
  famCategory->ClearFields();
}

void TfrmCategorie::btnPrintFormClick() {
  PrintCodeTable();  // checks pmCategoryPrintForm again, as a print by name does
}

TTableReport TfrmCategorie::CodeTable() {
  TTableReport report(windowTitle(), {{QStringLiteral("类别编号")},
                                      {QStringLiteral("类别名称")},
                                      {QStringLiteral("类别类型")},
                                      {QStringLiteral("显示顺序"), Qt::AlignRight},
                                      {QStringLiteral("启用"), Qt::AlignHCenter}});
  // The kinds as the editor names them.
  const TRadioGroup* kinds = famCategory->radCateType;
  for (const TBaseDBObject* object : TCategoryManager::Instance().Categories()) {
    const auto* category = static_cast<const TCategory*>(object);
    const QAbstractButton* kind = kinds->Button(category->CateType);
    report.AddRow({QtText::ToQ(category->CateCode), QtText::ToQ(category->CateName),
                   kind ? kind->text() : QString::number(category->CateType),
                   QString::number(category->DispOrder), CodeTableText::YesNo(category->IsInUse)});
  }
  return report;
}

void TfrmCategorie::btnExitClick() {
  close();
}

void TfrmCategorie::famCateTreechkCateTreeClick() {
  if (TCategory* category = famCateTree->CurrentCategory()) famCategory->ShowCategory(category);
}

void TfrmCategorie::famCategoryedtCateMemoExit() {
  btnSave->setFocus(Qt::OtherFocusReason);
}
