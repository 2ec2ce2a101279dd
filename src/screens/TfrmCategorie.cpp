#include "TfrmCategorie.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "FieldEvents.h"
#include "HandlerConnect.h"
#include "TImageList.h"
#include "TPermissionAction.h"
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
  btnCancel =
      WidgetLook::NamedButton(GroupBox3, QStringLiteral("btnCancel"), QStringLiteral("取消&C"));
  btnExit = WidgetLook::NamedButton(GroupBox3, QStringLiteral("btnExit"), QStringLiteral("退出&E"));
  auto* grid = new QGridLayout(GroupBox3);
  grid->addWidget(btnADD, 0, 0);
  grid->addWidget(btnSave, 0, 1);
  grid->addWidget(btnPrintForm, 0, 2);
  grid->addWidget(btnDelete, 1, 0);
  grid->addWidget(btnCancel, 1, 1);
  grid->addWidget(btnExit, 1, 2);
  return GroupBox3;
}

void TfrmCategorie::BuildPermissionActions() {
  auto PermissionAction = [this](const QString& name, const QString& caption, const char* code,
                                 int imageIndex) {
    return AddPermissionAction(name, caption, "类别", code, imageIndex, imgTree->Icon(imageIndex));
  };
  pmCategoryAdd = PermissionAction(QStringLiteral("pmCategoryAdd"), QStringLiteral("增加(&A)"),
                                   "TJXT201001", 11);
  pmCategoryDelete = PermissionAction(QStringLiteral("pmCategoryDelete"),
                                      QStringLiteral("删除(&D)"), "TJXT201002", 15);
  pmCategorySave = PermissionAction(QStringLiteral("pmCategorySave"), QStringLiteral("保存(&S)"),
                                    "TJXT201004", 14);
  pmCategoryCancel = PermissionAction(QStringLiteral("pmCategoryCancel"),
                                      QStringLiteral("取消(&C)"), "TJXT201005", 18);
  pmCategoryPrintForm = PermissionAction(QStringLiteral("pmCategoryPrintForm"),
                                         QStringLiteral("打印编码表(&P)"), "TJXT201006", 12);
}

void TfrmCategorie::ConnectHandlers() {
  ConnectHandler(btnADD, &QPushButton::clicked, this, [this] { btnADDClick(); });
  ConnectHandler(btnSave, &QPushButton::clicked, this, [this] { btnSaveClick(); });
  ConnectHandler(btnDelete, &QPushButton::clicked, this, [this] { btnDeleteClick(); });
  ConnectHandler(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });
  ConnectHandler(btnExit, &QPushButton::clicked, this, [this] { btnExitClick(); });
  // btnPrintForm has no handler: pressing it does nothing.
  ConnectEvent(famCateTree->chkCateTree->viewport(), QEvent::MouseButtonRelease,
               [this](QEvent* event) {
                 if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                   famCateTreechkCateTreeClick();
                 return false;
               });
  ConnectExit(famCategory->edtCateMemo, [this] { famCategoryedtCateMemoExit(); });
  EnterMovesToNextControl(this);  // the window's key preview (FormKeyPress)
}

void TfrmCategorie::FormShow(QObject* sender) {
  TMDIChild::FormShow(sender);
  // The frame keeps the dialog-like fixed size, maximised or not.
  if (QMdiSubWindow* sub = SubWindow(); sub && !sub->isMaximized()) sub->setFixedSize(sub->size());
  famCateTree->SetImageIndex(2);
  famCateTree->SetSelectedIndex(3);
  famCateTree->BuildTree();
  btnADDClick();
}

void TfrmCategorie::btnADDClick() {
  famCategory->ShowNewCategory();
  famCategory->medtSort->setFocus();
}

void TfrmCategorie::btnSaveClick() {
  if (!famCategory->Category()) return;
  famCategory->SaveCategory();
  famCateTree->UpdateCategoryNode(famCategory->Category());
}

void TfrmCategorie::btnDeleteClick() {
  TCategory* category = famCateTree->CurrentCategory();
  if (!category) return;
  // The editor must not keep a category that the delete frees.
  famCateTree->DeleteCategory(category);
  famCategory->ClearFields();
}

void TfrmCategorie::btnCancelClick() {
  famCategory->ClearFields();
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
