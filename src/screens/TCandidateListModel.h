#pragma once

#include <QAbstractListModel>
#include <QString>
#include <vector>

/// The not-chosen candidates of the check set window's selection frame:
/// one row per candidate shown, its text the candidate's name. Rows are
/// indexes into the frame's names, with no object per row, so showing tens
/// of thousands of candidates anew (the search cleared) is one reset of the
/// model instead of as many list entries made and freed.
class TCandidateListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  /// `names`: per candidate, the text shown; it outlives the model.
  TCandidateListModel(const std::vector<QString>& names, QObject* parent);

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  /// Shows `candidates`, in order, instead of the rows shown so far.
  void SetCandidates(std::vector<int> candidates);
  void Append(int candidate);
  void RemoveAt(int row);
  const std::vector<int>& Candidates() const { return candidates_; }
  int CandidateAt(int row) const { return candidates_[static_cast<size_t>(row)]; }

 private:
  const std::vector<QString>& names_;
  std::vector<int> candidates_;
};
