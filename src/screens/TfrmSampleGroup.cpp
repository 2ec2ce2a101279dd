#include "TfrmSampleGroup.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QStyle>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <utility>

#include "DomainObjects.h"
#include "EntryWrites.h"
#include "Exceptions.h"
#include "HandlerConnect.h"
#include "MessagePrefix.h"
#include "QtText.h"
#include "TDBObjectList.h"
#include "THistoryDialog.h"
#include "TImageList.h"
#include "TPermissionAction.h"
#include "TPromptService.h"
#include "TSampleGroup.h"
#include "TSampleType.h"
#include "TfrmSampleGroupEdit.h"

namespace {

enum Column { ColSampleTypeName = 0, ColGroupName = 1, ColSampleTypeID = 2 };

// The toolbar glyphs in their image list order (0 add, 1 delete, 2 edit,
// 3 exit): the desktop's icon theme, else the style's standard pictures.
void FillToolbarGlyphs(TImageList& list, const QStyle& style) {
  const std::pair<const char*, QStyle::StandardPixmap> glyphs[] = {
      {"document-new", QStyle::SP_FileIcon},
      {"edit-delete", QStyle::SP_TrashIcon},
      {"document-properties", QStyle::SP_FileDialogDetailedView},
      {"application-exit", QStyle::SP_DialogCloseButton}};
  for (const auto& [themeName, standard] : glyphs) list.AddStandardIcon(themeName, standard, style);
}

// A read-only cell, text centred vertically.
QTableWidgetItem* Cell(const QString& text) {
  auto* cell = new QTableWidgetItem(text);
  cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  cell->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return cell;
}

// The visible cells of the selected rows, tab-separated, one line a row.
QString SelectedRowsText(const QTableWidget& grid) {
  QStringList lines;
  for (int row = 0; row < grid.rowCount(); ++row) {
    if (!grid.selectionModel()->isRowSelected(row, {})) continue;
    QStringList cells;
    for (int column = 0; column < grid.columnCount(); ++column)
      if (!grid.isColumnHidden(column) && grid.item(row, column))
        cells << grid.item(row, column)->text();
    lines << cells.join(QLatin1Char('\t'));
  }
  return lines.join(QLatin1Char('\n'));
}

// Why the window cannot open: our fixed text, the error's message and the
// cause an error of the system carries beside it.
Exception LoadFailure(const std::exception& error) {
  std::string text = "读取试管类型数据失败，窗口不能打开。\r\n原因：" + std::string(error.what());
  if (const auto* own = dynamic_cast<const EBaseException*>(&error); own && !own->ExtraText.empty())
    text += "\r\n" + own->ExtraText;
  return Exception(text);
}

}  // namespace

TfrmSampleGroup::TfrmSampleGroup(IWinMain* host) : TMDIChild(host) {
  setObjectName(QStringLiteral("frmSampleGroup"));
  setWindowTitle(QStringLiteral("试管类型"));
  BindOnDestroyToFormDestroy();
  ImageList1 = new TImageList(this);
  ImageList1->setObjectName(QStringLiteral("ImageList1"));
  FillToolbarGlyphs(*ImageList1, *style());
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  BuildToolbar();
  BuildGrid();
  layout->addWidget(dxBarManager1);
  layout->addWidget(pnl2, 1);
  BuildPermissionActions();
  ConnectHandlers();
  follower_ = std::make_unique<TCatalogueFollower>(this, [this] { LoadLists(); });
}

QSize TfrmSampleGroup::sizeHint() const {
  return {481, 356};
}

// Owned members go before the base tells the host of the destruction.
TfrmSampleGroup::~TfrmSampleGroup() = default;

void TfrmSampleGroup::BuildToolbar() {
  dxBarManager1 = new QToolBar(this);
  dxBarManager1->setObjectName(QStringLiteral("dxBarManager1"));
  dxBarManager1->setMovable(false);
  dxBarManager1->setIconSize(QSize(16, 16));
  auto button = [this](const QString& name, const QString& caption, int glyph) {
    auto* b = new QToolButton(dxBarManager1);
    b->setObjectName(name);
    b->setText(caption);
    b->setToolTip(caption);  // the hint
    b->setIcon(ImageList1->Icon(glyph));
    b->setIconSize(QSize(16, 16));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setAutoRaise(true);
    return b;
  };
  flatAdd = button(QStringLiteral("flatAdd"), QStringLiteral("增加"), 0);
  flatEdit = button(QStringLiteral("flatEdit"), QStringLiteral("修改"), 2);
  flatDelete = button(QStringLiteral("flatDelete"), QStringLiteral("删除"), 1);
  flatExit = button(QStringLiteral("flatExit"), QStringLiteral("退出"), 3);
  flatHistory = button(QStringLiteral("flatHistory"), QStringLiteral("历史"), 2);
  dxBarManager1->addWidget(flatAdd);
  for (QToolButton* b : {flatEdit, flatDelete, flatHistory, flatExit}) {
    dxBarManager1->addSeparator();
    dxBarManager1->addWidget(b);
  }
}

void TfrmSampleGroup::BuildGrid() {
  pnl2 = new QWidget(this);
  pnl2->setObjectName(QStringLiteral("pnl2"));
  tsgrdData = new QTableWidget(0, 3, pnl2);
  tsgrdData->setObjectName(QStringLiteral("tsgrdData"));
  tsgrdData->setHorizontalHeaderLabels(
      {QStringLiteral("样品类别"), QStringLiteral("试管名"), QStringLiteral("SampleTypeID")});
  tsgrdData->setColumnWidth(ColSampleTypeName, 95);
  tsgrdData->setColumnWidth(ColGroupName, 142);
  tsgrdData->setColumnHidden(ColSampleTypeID, true);
  tsgrdData->verticalHeader()->hide();
  tsgrdData->verticalHeader()->setDefaultSectionSize(23);
  tsgrdData->horizontalHeader()->setFixedHeight(24);
  tsgrdData->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tsgrdData->setSelectionBehavior(QAbstractItemView::SelectRows);
  tsgrdData->setSelectionMode(QAbstractItemView::SingleSelection);
  // The grid's own context menu: copy the selected row.
  auto* copy = new QAction(QStringLiteral("复制"), tsgrdData);
  copy->setObjectName(QStringLiteral("actGridCopy"));
  copy->setShortcut(QKeySequence::Copy);
  copy->setShortcutContext(Qt::WidgetShortcut);
  connect(copy, &QAction::triggered, tsgrdData,
          [this] { QApplication::clipboard()->setText(SelectedRowsText(*tsgrdData)); });
  tsgrdData->addAction(copy);
  tsgrdData->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* fill = new QVBoxLayout(pnl2);
  fill->setContentsMargins(0, 0, 0, 0);
  fill->addWidget(tsgrdData);
}

// The window number 205 follows the check sets' 204; the command numbers
// follow the permission kinds (1 add, 2 delete, 3 modify).
void TfrmSampleGroup::BuildPermissionActions() {
  const ActionMaker PermissionAction = PermissionActionsOf("试管", ImageList1);
  pmSampleGroupAdd = PermissionAction(QStringLiteral("pmSampleGroupAdd"),
                                      QStringLiteral("增加(&A)"), "TJXT205001", 0);
  pmSampleGroupDelete = PermissionAction(QStringLiteral("pmSampleGroupDelete"),
                                         QStringLiteral("删除(&D)"), "TJXT205002", 1);
  pmSampleGroupEdit = PermissionAction(QStringLiteral("pmSampleGroupEdit"),
                                       QStringLiteral("修改(&M)"), "TJXT205003", 2);
  pmSampleGroupHistory = PermissionAction(QStringLiteral("pmSampleGroupHistory"),
                                          QStringLiteral("历史(&H)"), "TJXT205004", 2);
  pmSampleGroupHistory->InvisibleIfNoRight = true;
}

void TfrmSampleGroup::ConnectHandlers() {
  AddCommand(flatAdd, pmSampleGroupAdd, [this] { flatAddClick(); });
  AddCommand(flatEdit, pmSampleGroupEdit, [this] { flatEditClick(); });
  AddCommand(flatDelete, pmSampleGroupDelete, [this] { flatDeleteClick(); });
  AddCommand(flatExit, nullptr, [this] { flatExitClick(); });
  AddCommand(flatHistory, pmSampleGroupHistory,
             [this] { THistoryDialog::ShowFor(this, CurrentGroup()); });
  // A tool bar shows its buttons through their actions: the history
  // button's follows its right, so a user without it sees no button.
  for (QAction* shown : dxBarManager1->actions()) {
    if (dxBarManager1->widgetForAction(shown) != flatHistory) continue;
    connect(pmSampleGroupHistory, &QAction::changed, shown,
            [this, shown] { shown->setVisible(pmSampleGroupHistory->isVisible()); });
  }
}

void TfrmSampleGroup::FormCreate(QObject* sender) {
  TMDIChild::FormCreate(sender);
  try {
    LoadLists();
  } catch (const std::exception& error) {
    throw LoadFailure(error);
  }
}

void TfrmSampleGroup::LoadLists() {
  TBaseDBConnPool* pool = DomainObjects::SharedPool();
  groupLoader_ = std::make_unique<TSampleGroup>(pool);
  sampleTypeLoader_ = std::make_unique<TSampleType>(pool);
  groups_ = std::make_unique<TDBObjectList>();
  sampleTypeList_ = std::make_unique<TDBObjectList>();
  sampleTypeLoader_->LoadAll(*sampleTypeList_);
  // The first sample type of an identifier names it, as a search from the
  // front of the list would find it.
  for (int i = 0; i < sampleTypeList_->Count(); ++i) {
    const auto* sampleType = sampleTypeList_->ItemAs<TSampleType>(i);
    sampleTypeNames_.try_emplace(sampleType->SampleTypeID, sampleType->SampleTypeName);
  }
  FillGroupGrid();
}

void TfrmSampleGroup::FillGroupGrid() {
  groupLoader_->LoadAll(*groups_);
  tsgrdData->setRowCount(0);
  tsgrdData->setRowCount(groups_->Count());
  for (int row = 0; row < groups_->Count(); ++row)
    ShowGroupInRow(row, *groups_->ItemAs<TSampleGroup>(row));
  // Like a grid's cursor, the first row is current, so Edit works at once.
  if (groups_->Count() > 0) tsgrdData->setCurrentCell(0, ColSampleTypeName);
}

std::string TfrmSampleGroup::SampleTypeNameOf(int32_t sampleTypeID) const {
  const auto found = sampleTypeNames_.find(sampleTypeID);
  return found == sampleTypeNames_.end() ? std::string() : found->second;
}

void TfrmSampleGroup::ShowGroupInRow(int row, const TSampleGroup& group) {
  tsgrdData->setItem(row, ColSampleTypeName,
                     Cell(QtText::ToQ(SampleTypeNameOf(group.SampleTypeID))));
  tsgrdData->setItem(row, ColGroupName, Cell(QtText::ToQ(group.GroupName)));
  tsgrdData->setItem(row, ColSampleTypeID, Cell(QString::number(group.SampleTypeID)));
}

TSampleGroup* TfrmSampleGroup::CurrentGroup() const {
  const int row = tsgrdData->currentRow();
  if (row < 0 || row >= groups_->Count()) return nullptr;
  return groups_->ItemAs<TSampleGroup>(row);
}

void TfrmSampleGroup::flatAddClick() {
  TfrmSampleGroupEdit dialog(this);  // freed when the click is done
  dialog.SetSampleTypes(*sampleTypeList_);
  dialog.SetSampleTypeID(0);
  dialog.SetGroupName(std::string());
  if (!TPromptService::ExecDialog(&dialog)) return;
  dialog.RequireEntries();
  auto group = std::make_unique<TSampleGroup>(DomainObjects::SharedPool());
  group->SampleTypeID = dialog.GetSampleTypeID();
  group->GroupName = dialog.GetGroupName();
  // A failure leaves Groups and the grid as they were.
  const int saved = WithMessagePrefix("增加试管失败！\r\n", [&] {
    return EntryWrites::Save<TSampleGroupFields>(this, *group, [] {});
  });
  if (saved == 0) return;
  const int row = groups_->Add(group.release());
  tsgrdData->insertRow(row);
  ShowGroupInRow(row, *groups_->ItemAs<TSampleGroup>(row));
  tsgrdData->setCurrentCell(row, ColSampleTypeName);
}

void TfrmSampleGroup::flatEditClick() {
  TSampleGroup* group = CurrentGroup();
  if (!group) return;
  TfrmSampleGroupEdit dialog(this);
  dialog.SetSampleTypes(*sampleTypeList_);
  dialog.SetSampleTypeID(group->SampleTypeID);
  dialog.SetGroupName(group->GroupName);
  if (!TPromptService::ExecDialog(&dialog)) return;
  dialog.RequireEntries();
  // A refused or failed save leaves the group as the grid shows it.
  const int saved = WithMessagePrefix("修改试管失败！\r\n", [&] {
    return EntryWrites::Save<TSampleGroupFields>(this, *group, [&] {
      group->SampleTypeID = dialog.GetSampleTypeID();
      group->GroupName = dialog.GetGroupName();
    });
  });
  const int row = tsgrdData->currentRow();
  if (saved == EntryWrites::kDeletedElsewhere) {
    RemoveGroupRow(row);
  } else if (saved != 0) {
    ShowGroupInRow(row, *group);  // changed elsewhere: the row as it is now
  }
}

void TfrmSampleGroup::RemoveGroupRow(int row) {
  groups_->Delete(row);
  tsgrdData->removeRow(row);
}

void TfrmSampleGroup::flatDeleteClick() {
  TSampleGroup* group = CurrentGroup();
  if (!group) return;  // an empty grid has no group to delete
  const int row = tsgrdData->currentRow();
  // A failure leaves Groups and the grid as they were.
  const int deleted = WithMessagePrefix("删除试管失败！\r\n", [&] {
    return EntryWrites::Delete(this, *group, QStringLiteral("是否删除试管。"), std::string(),
                               group->GroupName);
  });
  if (deleted == EntryWrites::kChangedElsewhere) ShowGroupInRow(row, *group);
  if (deleted == 1) RemoveGroupRow(row);
}

void TfrmSampleGroup::flatExitClick() {
  close();
}
