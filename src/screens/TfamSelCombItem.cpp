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

#include "DomainObjects.h"
#include "HandlerConnect.h"
#include "QtText.h"
#include "TBaseItem.h"
#include "TCombItem.h"
#include "TDBObjectList.h"
#include "TItemManager.h"
#include "TPromptService.h"
#include "WidgetLook.h"

namespace {

constexpr int kCandidateRole = Qt::UserRole;  // index into the candidates
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
    : QFrame(parent), candidates_(std::make_unique<TDBObjectList>(true)) {
  setObjectName(QStringLiteral("famSelCombItem"));
  BuildLayout();
  auto onDoubleClick = [](QListWidget* list, std::function<void()> handler) {
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
  lstChoseCombItem = NewCandidateList(QStringLiteral("lstChoseCombItem"));
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
  lstNotChoseCombItem = NewCandidateList(QStringLiteral("lstNotChoseCombItem"));
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
QListWidget* TfamSelCombItem::NewCandidateList(const QString& name) {
  auto* list = new QListWidget(this);
  list->setObjectName(name);
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
  return list;
}

void TfamSelCombItem::LoadCandidates() {
  TCombItem(DomainObjects::SharedPool()).LoadSetMemberCandidates(*candidates_);
  searchKeys_.clear();
  names_.clear();
  searchKeys_.reserve(static_cast<size_t>(candidates_->Count()));
  names_.reserve(static_cast<size_t>(candidates_->Count()));
  for (int i = 0; i < candidates_->Count(); ++i) {
    const TBaseItem& candidate = *candidates_->ItemAs<TBaseItem>(i);
    searchKeys_.push_back(SearchKey(candidate));
    names_.push_back(QtText::ToQ(candidate.ItemName));
  }
}

void TfamSelCombItem::ShowCheckSet(TBaseItem* checkSet) {
  // Taken first: the frame never keeps a set the editor has let go.
  checkSet_ = checkSet;
  if (checkSet_) checkSet_->LoadItems();
  lstChoseCombItem->clear();
  notChosen_.clear();
  if (checkSet_) {
    for (int i = 0; i < candidates_->Count(); ++i) {
      if (checkSet_->FindItem(candidates_->ItemAs<TBaseItem>(i)->ItemCode))
        AddEntry(lstChoseCombItem, i);
      else
        notChosen_.push_back(i);
    }
  }
  std::vector<int> shown;
  for (const int candidate : notChosen_)
    if (Matches(candidate)) shown.push_back(candidate);
  ShowNotChosen(std::move(shown));
}

void TfamSelCombItem::AddEntry(QListWidget* list, int candidate) {
  auto* entry = new QListWidgetItem(names_[static_cast<size_t>(candidate)], list);
  entry->setData(kCandidateRole, candidate);
}

int TfamSelCombItem::CandidateIndexOf(const QListWidgetItem* entry) const {
  if (entry->listWidget() == lstNotChoseCombItem)
    return shown_[static_cast<size_t>(lstNotChoseCombItem->row(entry))];
  return entry->data(kCandidateRole).toInt();
}

TBaseItem* TfamSelCombItem::CandidateOf(const QListWidgetItem* entry) const {
  return candidates_->ItemAs<TBaseItem>(CandidateIndexOf(entry));
}

void TfamSelCombItem::lstNotChoseCombItemDblClick() {
  MoveCurrentEntry(lstNotChoseCombItem, lstChoseCombItem);
}

void TfamSelCombItem::lstChoseCombItemDblClick() {
  MoveCurrentEntry(lstChoseCombItem, lstNotChoseCombItem);
}

// Only the current entry moves, whatever else is selected; an entry the
// search hides is not current for the user, so it stays.
void TfamSelCombItem::MoveCurrentEntry(QListWidget* from, QListWidget* to) {
  QListWidgetItem* entry = from->currentItem();
  if (entry && !entry->isHidden()) MoveEntry(entry, from, to);
}

void TfamSelCombItem::MoveEntry(QListWidgetItem* entry, QListWidget* from, QListWidget* to) {
  const int candidate = CandidateIndexOf(entry);
  const int row = from->row(entry);
  from->takeItem(row);
  entry->setSelected(false);
  if (from == lstNotChoseCombItem) {
    shown_.erase(shown_.begin() + row);
    notChosen_.erase(std::find(notChosen_.begin(), notChosen_.end(), candidate));
  }
  if (to == lstNotChoseCombItem) {
    notChosen_.push_back(candidate);
    if (!Matches(candidate)) {  // back among the others, which the search hides
      delete entry;
      return;
    }
    shown_.push_back(candidate);
  }
  entry->setData(kCandidateRole, candidate);
  to->addItem(entry);
}

void TfamSelCombItem::btnOkClick() {
  if (!checkSet_) return;  // nothing added or pressed yet: no set to fill
  TItemManager& catalogue = TItemManager::Instance();
  checkSet_->ClearItems();
  std::vector<QListWidgetItem*> missing;
  for (int row = 0; row < lstChoseCombItem->count(); ++row) {
    QListWidgetItem* entry = lstChoseCombItem->item(row);
    if (TBaseItem* member = catalogue.FindItem(CandidateOf(entry)->ItemCode))
      checkSet_->AddItem(member);
    else
      missing.push_back(entry);  // deleted in another window since the window opened
  }
  QStringList names;
  for (QListWidgetItem* entry : missing) {
    names << entry->text();
    MoveEntry(entry, lstChoseCombItem, lstNotChoseCombItem);
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
  for (const int candidate : narrowing ? shown_ : notChosen_)
    if (Matches(candidate)) shown.push_back(candidate);
  if (shown != shown_) ShowNotChosen(std::move(shown));
}

bool TfamSelCombItem::Matches(int candidate) const {
  return search_.isEmpty() || searchKeys_[static_cast<size_t>(candidate)].contains(search_);
}

// The list is filled anew in one insertion (entries added one by one would
// each make the list box check its layout again); which candidate a row
// stands for is kept beside the list, not in each of its entries.
void TfamSelCombItem::ShowNotChosen(std::vector<int> shown) {
  QStringList names;
  names.reserve(static_cast<qsizetype>(shown.size()));
  for (const int candidate : shown) names << names_[static_cast<size_t>(candidate)];
  lstNotChoseCombItem->setUpdatesEnabled(false);
  lstNotChoseCombItem->clear();
  lstNotChoseCombItem->addItems(names);
  lstNotChoseCombItem->setUpdatesEnabled(true);
  shown_ = std::move(shown);
}
