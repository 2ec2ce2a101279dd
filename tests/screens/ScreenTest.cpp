#include "ScreenTest.h"

#include <QApplication>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>
#include <QTreeWidget>

#include "GbkText.h"
#include "TCategoryManager.h"
#include "TCommon.h"
#include "TItemManager.h"
#include "TMDIChild.h"
#include "TPromptService.h"
#include "TSampleType.h"
#include "TSingleComm.h"

namespace {

template <class T>
void DropSingleton() {
  T* instance = T::AccessInstance(0);
  T::AccessInstance(2);
  delete instance;
}

}  // namespace

void RecordingApplication::ShowException(const std::exception& error) {
  Shown.push_back(GbkText::ToUtf8(error.what()));
}

void ScreenTest::SetUp() {
  db.UseAsLibraryPool();
  // The super user: every button works unless a test takes rights away.
  host.User.UserName = "Chief";
  host.User.Operator.OperatorName = "张医生";
  TSingleComm::Instance().SetWinMain(&host);
  SetCurrentApplication(&app);
  TPromptService::Reset();
}

void ScreenTest::TearDown() {
  // Windows first: their trees refer to catalogue objects and categories.
  for (const QPointer<QWidget>& frame : opened_) delete frame.data();
  opened_.clear();
  Settle();
  DropSingleton<TItemManager>();
  DropSingleton<TCategoryManager>();
  DropSingleton<TSampleType>();
  DropSingleton<TCommon>();
  TSingleComm::Instance().SetWinMain(nullptr);
  SetCurrentApplication(LibraryApplication());
  TPromptService::Reset();
}

void ScreenTest::Settle() {
  ProcessPendingEvents();
}

void ScreenTest::ClickNode(QTreeWidget* tree, QTreeWidgetItem* node) {
  tree->scrollToItem(node);
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(node).center());
  Settle();
}

void ScreenTest::ClickEmptySpace(QTreeWidget* tree) {
  const QPoint below(5, tree->viewport()->height() - 3);
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, below);
  Settle();
}

void ScreenTest::TypeInto(QWidget* field, const QString& text) {
  field->setFocus(Qt::TabFocusReason);
  auto* edit = qobject_cast<QLineEdit*>(field);
  if (!edit) edit = field->findChild<QLineEdit*>();
  if (edit) edit->setText(text);
  Settle();
}

void ScreenTest::FocusByMouse(QWidget* next) {
  next->setFocus(Qt::MouseFocusReason);
  Settle();
}

QStringList ScreenTest::TopTexts(QTreeWidget* tree) {
  QStringList texts;
  for (int i = 0; i < tree->topLevelItemCount(); ++i) texts << tree->topLevelItem(i)->text(0);
  return texts;
}

QStringList ScreenTest::ChildTexts(QTreeWidgetItem* node) {
  QStringList texts;
  for (int i = 0; i < node->childCount(); ++i) texts << node->child(i)->text(0);
  return texts;
}
