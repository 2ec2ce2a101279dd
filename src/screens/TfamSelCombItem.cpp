#include "TfamSelCombItem.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QResizeEvent>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

#include "HandlerConnect.h"
#include "QtText.h"
#include "TBaseItem.h"
#include "TCandidateListModel.h"
#include "TCatalogueFollower.h"
#include "TItemManager.h"
#include "TPromptService.h"
#include "WidgetLook.h"

namespace {

constexpr int kCandidateRole = Qt::UserRole;  // index into the candidates
constexpr int kCheckSet = 2;                  // ItemType of a check set
constexpr int kColumns = 5;                   // the list boxes show five columns

// The lower-cased texts a search looks into, joined by line breaks.
QString SearchKey(const TBaseItem& candidate) {
  return QStringList{QtText::ToQ(candidate.ItemCode), QtText::ToQ(candidate.ItemName),
                     QtText::ToQ(candidate.AbForPY), QtText::ToQ(candidate.AbCustom)}
      .join(QLatin1Char('\n'))
      .toLower();
}

}  // namespace

TfamSelCombItem::TfamSelCombItem(QWidget* parent)
    : QFrame(parent),
      shown_(new TCandidateListModel(names_, this)) {
  setObjectName(QStringLiteral("famSelCombItem"));
  BuildLayout();
  auto onDoubleClick = [](QListView* list, std::function<void()> handler) {
    ConnectEvent(list->viewport(), QEvent::MouseButtonDblClick, [handler](QEvent*) {
      handler();
      return true;  // a double-click means nothing else here
    });
  };
  onDoubleClick(lstNotChoseCombItem, [this] { lstNotChoseCombItemDblClick(); });
  onDoubleClick(lstChoseCombItem, [this] { lstChoseCombItemDblClick(); });
  ConnectHandler(edtSearchCombItem, &QLineEdit::textChanged, this,
                 [this] { edtSearchCombItemChange(); });
}

TfamSelCombItem::~TfamSelCombItem() = default;

void TfamSelCombItem::BuildLayout() {
  using WidgetLook::NamedButton;
  Panel1 = new QWidget;
  Panel1->setObjectName(QStringLiteral("Panel1"));
  GroupBox1 = new QGroupBox(QStringLiteral("已选择的项目"), Panel1);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  lstChoseCombItem = new QListWidget(this);
  SetUpCandidateList(lstChoseCombItem, QStringLiteral("lstChoseCombItem"));
  (new QVBoxLayout(GroupBox1))->addWidget(lstChoseCombItem);
  GroupBox3 = new QGroupBox(Panel1);
  GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
  GroupBox3->setFixedWidth(81);
  btnOk = NamedButton(GroupBox3, QStringLiteral("btnOk"), QStringLiteral("确定&S"));
  btnExit = NamedButton(GroupBox3, QStringLiteral("btnExit"), QStringLiteral("退出&E"));
  auto* buttons = new QVBoxLayout(GroupBox3);
  buttons->addWidget(btnOk);
  buttons->addWidget(btnExit);
  buttons->addStretch(1);
  auto* top = new QHBoxLayout(Panel1);
  top->setContentsMargins(0, 0, 0, 0);
  top->addWidget(GroupBox1, 1);
  top->addWidget(GroupBox3);

  Panel2 = new QWidget;
  Panel2->setObjectName(QStringLiteral("Panel2"));
  GroupBox2 = new QGroupBox(QStringLiteral("未选项目"), Panel2);
  GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
  lblSearchCombItem = new QLabel(QStringLiteral("项目查找："), GroupBox2);
  lblSearchCombItem->setObjectName(QStringLiteral("lblSearchCombItem"));
  edtSearchCombItem = WidgetLook::NamedEdit(GroupBox2, QStringLiteral("edtSearchCombItem"));
  edtSearchCombItem->setClearButtonEnabled(true);
  edtSearchCombItem->setToolTip(QStringLiteral("按项目编号、名称、拼音编码或自定义编码查找"));
  WidgetLook::ChineseInput(edtSearchCombItem);
  lblSearchCombItem->setBuddy(edtSearchCombItem);
  lstNotChoseCombItem = new QListView(this);
  lstNotChoseCombItem->setModel(shown_);
  SetUpCandidateList(lstNotChoseCombItem, QStringLiteral("lstNotChoseCombItem"));
  auto* search = new QHBoxLayout;
  search->addWidget(lblSearchCombItem);
  search->addWidget(edtSearchCombItem, 1);
  auto* notChosen = new QVBoxLayout(GroupBox2);
  notChosen->addLayout(search);
  notChosen->addWidget(lstNotChoseCombItem, 1);
  auto* bottom = new QVBoxLayout(Panel2);
  bottom->setContentsMargins(0, 0, 0, 0);
  bottom->addWidget(GroupBox2);

  Splitter1 = new QSplitter(Qt::Vertical, this);
  Splitter1->setObjectName(QStringLiteral("Splitter1"));
  Splitter1->setChildrenCollapsible(false);
  Splitter1->addWidget(Panel1);
  Splitter1->addWidget(Panel2);
  Splitter1->setStretchFactor(1, 1);
  Splitter1->setSizes({221, 300});
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Splitter1);
}

// A list box of candidates in five columns: entries run down a column and
// on into the next, and each column takes a fifth of the width.
void TfamSelCombItem::SetUpCandidateList(QListView* list, const QString& name) {
  list->setObjectName(name);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setFlow(QListView::TopToBottom);
  list->setWrapping(true);
  list->setResizeMode(QListView::Adjust);
  list->setUniformItemSizes(true);
  WidgetLook::ChineseInput(list);
  ConnectEvent(list->viewport(), QEvent::Resize, [list](QEvent* event) {
    const int width = static_cast<QResizeEvent*>(event)->size().width() / kColumns;
    list->setGridSize(QSize(std::max(width, 1), list->fontMetrics().height() + 4));
    return false;
  });
}

// The candidates are the catalogue's own entries, so the window reads
// TJItem once (its tree of sets reads the catalogue too). A catalogue another
// window read earlier first catches up with the other desks, so the list is
// as fresh as a read of its own would be.
void TfamSelCombItem::LoadCandidates() {
  TCatalogueFollower::CatchUpWithOtherDesks();
  candidates_.clear();
  for (TBaseItem* entry : TItemManager::Instance().Items())
    if (entry->ItemType != kCheckSet) candidates_.push_back(entry);
  searchKeys_.clear();
  names_.clear();
  searchKeys_.reserve(candidates_.size());
  names_.reserve(candidates_.size());
  for (const TBaseItem* candidate : candidates_) {
    searchKeys_.push_back(SearchKey(*candidate));
    names_.push_back(QtText::ToQ(candidate->ItemName));
  }
}

void TfamSelCombItem::ShowCheckSet(TBaseItem* checkSet) {
  // Taken first: the frame never keeps a set the editor has let go.
  checkSet_ = checkSet;
  if (checkSet_) checkSet_->LoadItems();
  lstChoseCombItem->clear();
  notChosen_.clear();
  if (checkSet_) {
    for (int i = 0; i < static_cast<int>(candidates_.size()); ++i) {
      if (checkSet_->FindItem(candidates_[static_cast<size_t>(i)]->ItemCode))
        AddChosen(i);
      else
        notChosen_.push_back(i);
    }
  }
  std::vector<int> shown;
  for (const int candidate : notChosen_)
    if (Matches(candidate)) shown.push_back(candidate);
  shown_->SetCandidates(std::move(shown));
}

void TfamSelCombItem::AddChosen(int candidate) {
  auto* entry = new QListWidgetItem(names_[static_cast<size_t>(candidate)], lstChoseCombItem);
  entry->setData(kCandidateRole, candidate);
}

TBaseItem* TfamSelCombItem::CandidateAt(const QListView* list, int row) const {
  const int candidate = list == lstNotChoseCombItem
                            ? shown_->CandidateAt(row)
                            : lstChoseCombItem->item(row)->data(kCandidateRole).toInt();
  return candidates_[static_cast<size_t>(candidate)];
}

// Only the current entry moves, whatever else is selected.
void TfamSelCombItem::lstNotChoseCombItemDblClick() {
  const QModelIndex current = lstNotChoseCombItem->currentIndex();
  if (!current.isValid()) return;
  const int candidate = shown_->CandidateAt(current.row());
  shown_->RemoveAt(current.row());
  notChosen_.erase(std::find(notChosen_.begin(), notChosen_.end(), candidate));
  AddChosen(candidate);
}

void TfamSelCombItem::lstChoseCombItemDblClick() {
  if (QListWidgetItem* entry = lstChoseCombItem->currentItem()) ReturnToNotChosen(entry);
}

void TfamSelCombItem::ReturnToNotChosen(QListWidgetItem* entry) {
  const int candidate = entry->data(kCandidateRole).toInt();
  delete entry;
  notChosen_.push_back(candidate);
  if (Matches(candidate)) shown_->Append(candidate);
}

void TfamSelCombItem::btnOkClick() {
  if (!checkSet_) return;  // nothing added or pressed yet: no set to fill
  TItemManager& catalogue = TItemManager::Instance();
  checkSet_->ClearItems();
  std::vector<QListWidgetItem*> missing;
  for (int row = 0; row < lstChoseCombItem->count(); ++row) {
    QListWidgetItem* entry = lstChoseCombItem->item(row);
    if (TBaseItem* member = catalogue.FindItem(CandidateAt(lstChoseCombItem, row)->ItemCode))
      checkSet_->AddItem(member);
    else
      missing.push_back(entry);  // deleted in another window since the window opened
  }
  QStringList names;
  for (QListWidgetItem* entry : missing) {
    names << entry->text();
    ReturnToNotChosen(entry);
  }
  if (OnConfirmed) OnConfirmed();
  if (!names.isEmpty())
    TPromptService::Warning(this, QStringLiteral("提示"),
                            QStringLiteral("以下项目已从项目库中删除，没有加入套餐：\n") +
                                names.join(QStringLiteral("、")));
}

void TfamSelCombItem::btnExitClick() {
  if (OnExit) OnExit(btnExit);
}

void TfamSelCombItem::edtSearchCombItemChange() {
  const QString search = edtSearchCombItem->text().trimmed().toLower();
  if (search == search_) return;  // blanks typed around the text change nothing
  // A longer text that holds the old one can only match entries the old
  // one matched: typing on looks at the shown entries only.
  const bool narrowing = !search_.isEmpty() && search.contains(search_);
  search_ = search;
  std::vector<int> shown;
  for (const int candidate : narrowing ? shown_->Candidates() : notChosen_)
    if (Matches(candidate)) shown.push_back(candidate);
  if (shown != shown_->Candidates()) shown_->SetCandidates(std::move(shown));
}

bool TfamSelCombItem::Matches(int candidate) const {
  return search_.isEmpty() || searchKeys_[static_cast<size_t>(candidate)].contains(search_);
}
