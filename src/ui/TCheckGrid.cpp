#include "TCheckGrid.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace {

constexpr int kRowHeight = 22;
constexpr int kHeadingHeight = 18;
constexpr int kKindRole = Qt::UserRole + 100;  // the column kind, kept on the heading

}  // namespace

TCheckGrid::TCheckGrid(std::initializer_list<TColumn> columns, QWidget* parent)
    : QTableWidget(0, static_cast<int>(columns.size()), parent) {
  int index = 0;
  for (const TColumn& column : columns) {
    auto* heading = new QTableWidgetItem(column.Heading);
    heading->setData(kKindRole, static_cast<int>(column.Kind));
    setHorizontalHeaderItem(index, heading);
    if (column.Kind == TColumnKind::Hidden)
      setColumnHidden(index, true);
    else
      setColumnWidth(index, column.Width);
    ++index;
  }
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(kRowHeight);
  horizontalHeader()->setFixedHeight(kHeadingHeight);
  horizontalHeader()->setHighlightSections(false);
  // Rows show their own colour (ticked or not); a selection would hide it.
  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(this, &QTableWidget::cellClicked, this, [this](int row, int column) {
    if (IsCheckColumn(column)) Toggle(row, column);
  });
}

bool TCheckGrid::IsCheckColumn(int column) const {
  const QTableWidgetItem* heading = horizontalHeaderItem(column);
  return heading && heading->data(kKindRole).toInt() == static_cast<int>(TColumnKind::Check);
}

int TCheckGrid::AppendRow() {
  const int row = rowCount();
  insertRow(row);
  const QColor window = WindowColour();
  for (int column = 0; column < columnCount(); ++column) {
    auto* cell = new QTableWidgetItem;
    // The grid toggles checks itself (click or space), so the cell's own
    // check-box handling stays off and a click is never counted twice.
    cell->setFlags(Qt::ItemIsEnabled);
    if (IsCheckColumn(column)) cell->setCheckState(Qt::Unchecked);
    cell->setBackground(window);
    setItem(row, column, cell);
  }
  return row;
}

void TCheckGrid::RemoveAllRows() {
  setRowCount(0);
}

QString TCheckGrid::Text(int row, int column) const {
  const QTableWidgetItem* cell = item(row, column);
  return cell ? cell->text() : QString();
}

void TCheckGrid::SetText(int row, int column, const QString& text) {
  item(row, column)->setText(text);
}

bool TCheckGrid::IsChecked(int row, int column) const {
  const QTableWidgetItem* cell = item(row, column);
  return cell && cell->checkState() == Qt::Checked;
}

void TCheckGrid::SetChecked(int row, int column, bool checked) {
  item(row, column)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void TCheckGrid::SetRowColour(int row, const QColor& colour) {
  for (int column = 0; column < columnCount(); ++column) item(row, column)->setBackground(colour);
}

QColor TCheckGrid::RowColour(int row) const {
  return item(row, 0)->background().color();
}

QColor TCheckGrid::HighlightColour() {
  return QColor(185, 209, 234);
}

QColor TCheckGrid::WindowColour() const {
  return palette().color(QPalette::Base);
}

void TCheckGrid::Toggle(int row, int column) {
  SetChecked(row, column, !IsChecked(row, column));
  emit CheckClicked(row, column);
}

void TCheckGrid::keyPressEvent(QKeyEvent* event) {
  const QModelIndex current = currentIndex();
  if (event->key() == Qt::Key_Space && current.isValid() && IsCheckColumn(current.column())) {
    Toggle(current.row(), current.column());
    return;
  }
  QTableWidget::keyPressEvent(event);
}
