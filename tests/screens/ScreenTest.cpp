#include "ScreenTest.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <fstream>
#include <memory>
#include <sstream>

#include "GbkText.h"
#include "TCategoryManager.h"
#include "TCommon.h"
#include "TItemManager.h"
#include "TMDIChild.h"
#include "TPromptService.h"
#include "TReportPreview.h"
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

void ScreenTest::LoadDemoData() {
  std::ifstream in(TESMIRA_SOURCE_DIR "/sql/demo-data.sql");
  ASSERT_TRUE(in) << "sql/demo-data.sql is missing";
  std::stringstream text;
  text << in.rdbuf();
  db.Exec(text.str());
}

int ScreenTest::PrintThroughPreview(QAbstractButton* printButton, const QString& file) {
  // Shared: when no preview comes, the answer stays queued past this call.
  auto pages = std::make_shared<int>(0);
  TPromptService::SetNextDialog(TPromptAnswer::Rejected, [pages](QDialog* dialog) {
    auto* preview = qobject_cast<TReportPreview*>(dialog);
    if (!preview) return;
    preview->Preview->updatePreview();  // what a person sees when it opens
    *pages = preview->Preview->pageCount();
    QTest::mouseClick(preview->btnSavePdf, Qt::LeftButton);
  });
  TPromptService::SetNextDialog(TPromptAnswer::Accepted, [file](QDialog* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    if (!files) return;
    // Typed into the name field, as a person does (selectFile would take a
    // path into a missing folder as relative to the dialog's folder).
    if (auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
      name->setText(file);
    else
      files->selectFile(file);
  });
  QTest::mouseClick(printButton, Qt::LeftButton);
  Settle();
  return *pages;
}

QStringList ScreenTest::PdfPages(const QString& file) {
  QProcess pdftotext;
  pdftotext.start(QStringLiteral(TESMIRA_PDFTOTEXT),
                  {QStringLiteral("-raw"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), file,
                   QStringLiteral("-")});
  if (!pdftotext.waitForFinished() || pdftotext.exitCode() != 0) return {};
  QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QLatin1Char('\f'));
  if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) pages.removeLast();
  return pages;
}
