#pragma once

#include <QColor>
#include <QTableWidget>
#include <initializer_list>

/// A data grid of text and check-box columns, as the maintenance windows tick
/// entries in a list: one heading row, read-only cells, check cells holding
/// 1 (ticked) or 0 that the user toggles with a click or the space bar,
/// hidden columns for keys, and a colour per row.
class TCheckGrid : public QTableWidget {
  Q_OBJECT
 public:
  enum class TColumnKind { Text, Check, Hidden };
  struct TColumn {
    QString Heading;
    TColumnKind Kind;
    int Width;
  };

  explicit TCheckGrid(std::initializer_list<TColumn> columns, QWidget* parent = nullptr);

  /// Appends a row of empty read-only cells, checks at 0, in the window
  /// colour; returns its index.
  int AppendRow();
  /// Removes every row.
  void RemoveAllRows();

  QString Text(int row, int column) const;
  void SetText(int row, int column, const QString& text);
  /// True when the check cell holds 1.
  bool IsChecked(int row, int column) const;
  void SetChecked(int row, int column, bool checked);
  void SetRowColour(int row, const QColor& colour);
  QColor RowColour(int row) const;

  /// The colour of ticked rows: the desktop's gradient active caption colour
  /// (COLOR_GRADIENTACTIVECAPTION in its standard scheme).
  static QColor HighlightColour();
  /// The colour of the other rows: the window colour.
  QColor WindowColour() const;

 signals:
  /// The user toggled the check in (row, column); the grid has set it.
  void CheckClicked(int row, int column);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool IsCheckColumn(int column) const;
  void Toggle(int row, int column);
};
