#include "TCandidateListModel.h"

TCandidateListModel::TCandidateListModel(const std::vector<QString>& names, QObject* parent)
    : QAbstractListModel(parent), names_(names) {}

int TCandidateListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(candidates_.size());
}

QVariant TCandidateListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
  return names_[static_cast<size_t>(CandidateAt(index.row()))];
}

void TCandidateListModel::SetCandidates(std::vector<int> candidates) {
  beginResetModel();
  candidates_ = std::move(candidates);
  endResetModel();
}

void TCandidateListModel::Append(int candidate) {
  const int row = rowCount();
  beginInsertRows({}, row, row);
  candidates_.push_back(candidate);
  endInsertRows();
}

void TCandidateListModel::RemoveAt(int row) {
  beginRemoveRows({}, row, row);
  candidates_.erase(candidates_.begin() + row);
  endRemoveRows();
}
