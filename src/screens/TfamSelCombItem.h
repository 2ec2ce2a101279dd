#pragma once

#include <QFrame>
#include <QString>
#include <functional>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QSplitter;
class TBaseItem;
class TCandidateListModel;

/// The selection frame of the check set window: every item and combination
/// item of the catalogue table as a candidate, split into the chosen ones
/// (the members of CheckSet) and the others. A double-click moves the
/// current entry across; OK makes the chosen entries the set's members (in
/// memory: the set's Save stores them). The search field narrows the
/// not-chosen list by code, name, pinyin mnemonic or custom code. The window
/// binds OK and exit to its own handlers, which call btnOkClick and
/// btnExitClick.
class TfamSelCombItem : public QFrame {
  Q_OBJECT
 public:
  explicit TfamSelCombItem(QWidget* parent = nullptr);
  ~TfamSelCombItem() override;

  /// Takes the candidates once (every entry of the catalogue that is no
  /// check set, by kind and name, the catalogue caught up with other desks
  /// first) and prepares their search keys.
  void LoadCandidates();
  /// Makes `checkSet` the set whose members are chosen (its members are
  /// built first), then lists each candidate as chosen when a member has its
  /// code, else as not chosen.
  void ShowCheckSet(TBaseItem* checkSet);

  /// Moves the current not-chosen entry to the end of the chosen list.
  void lstNotChoseCombItemDblClick();
  /// Moves the current chosen entry back to the end of the not-chosen list.
  void lstChoseCombItemDblClick();
  /// CheckSet's members become the catalogue entries of the chosen
  /// candidates, in list order, then OnConfirmed runs. A candidate whose
  /// code has left the catalogue is not added: it goes back to the
  /// not-chosen list and a message names it. Nothing without a set.
  void btnOkClick();
  /// Calls OnExit with the exit button.
  void btnExitClick();
  /// The not-chosen list shows only the candidates whose code, name,
  /// pinyin mnemonic or custom code contains the search text (ignoring
  /// case); all of them when the text is blank. Chosen entries never hide.
  /// The list holds only the entries shown (a list box hiding tens of
  /// thousands of rows spends time in every layout on each hidden one), as
  /// rows of a model rather than entries made one by one (clearing the search
  /// would make 50 000 of them anew, more than a frame's time).
  void edtSearchCombItemChange();

  TBaseItem* CheckSet() const { return checkSet_; }
  /// The candidate row `row` of either list stands for.
  TBaseItem* CandidateAt(const QListView* list, int row) const;

  /// Called after OK; the window sets it to the detail frame's ShowMembers.
  std::function<void()> OnConfirmed;
  /// Called by the exit button with the sender; the window closes itself.
  std::function<void(QObject*)> OnExit;

  QWidget* Panel1;
  QGroupBox* GroupBox1;
  QListWidget* lstChoseCombItem;
  QGroupBox* GroupBox3;
  QPushButton* btnOk;
  QPushButton* btnExit;
  QSplitter* Splitter1;
  QWidget* Panel2;
  QGroupBox* GroupBox2;
  QLabel* lblSearchCombItem;
  QLineEdit* edtSearchCombItem;
  QListView* lstNotChoseCombItem;

 private:
  void BuildLayout();
  void SetUpCandidateList(QListView* list, const QString& name);
  void AddChosen(int candidate);
  /// Moves a chosen entry back among the not-chosen candidates (at the
  /// end), shown when the search lets it.
  void ReturnToNotChosen(QListWidgetItem* entry);
  bool Matches(int candidate) const;

  // The catalogue's entries but its check sets, in catalogue order. Not
  // owned: an entry that leaves the catalogue stays alive until the
  // catalogue is freed, which outlives every window.
  std::vector<TBaseItem*> candidates_;
  // Per candidate: code, name, mnemonic and custom code, lower-cased and
  // joined by line breaks (which no typed search text holds), made once.
  std::vector<QString> searchKeys_;
  std::vector<QString> names_;  // per candidate: its name as the lists show it
  // The candidates not chosen, in list order, shown by the search or not;
  // the not-chosen list's model holds those it shows, one per row.
  std::vector<int> notChosen_;
  TCandidateListModel* shown_;
  QString search_;  // the search text, trimmed and lower-cased
  TBaseItem* checkSet_ = nullptr;
};
