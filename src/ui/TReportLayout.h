#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QSizeF>
#include <QString>
#include <cstdint>
#include <vector>

class QPainter;
class QPaintDevice;
class TTableReport;

/// Where everything of a table report goes on the pages of one device: the
/// column widths that fit the page, the height of every row (text that does
/// not fit its column wraps inside the cell), and the rows each page holds.
/// Measured once when it is made (the expensive part, one pass over every
/// cell); painting a page only reads it.
class TReportLayout {
 public:
  /// Lays `report` out for the page of `device` (its paint area and
  /// resolution).
  TReportLayout(const TTableReport& report, const QPaintDevice& device);

  /// True when the layout was made for a page of this size and resolution.
  bool Fits(const QPaintDevice& device) const;
  int PageCount() const { return static_cast<int>(pages_.size()); }
  /// Paints page `index` (0-based) of `report`, the report it was made for.
  void PaintPage(QPainter& painter, const TTableReport& report, int index) const;

 private:
  // A row on a page; `Continued` repeats a group line with "（续）".
  struct Placed {
    int Row;
    bool Continued;
    double Top;
    double Height;
  };

  /// Fits the columns' natural widths into `available`: narrow columns keep
  /// their width while the wide ones share what is left in proportion to
  /// theirs; with room to spare every column widens in proportion. Each
  /// column keeps at least `minimum`.
  static std::vector<double> FitWidths(const std::vector<double>& natural, double available,
                                       double minimum);
  double Points(double points) const { return points * dpi_ / 72.0; }
  void MeasureColumns(const TTableReport& report);
  void MeasureRows(const TTableReport& report);
  void BreakPages(const TTableReport& report);
  /// Height of `cells` in the columns (wrapping where needed); records in
  /// `anywhere` the cells that must break inside a word.
  double CellsHeight(const QStringList& cells, const QFontMetricsF& metrics,
                     uint32_t* anywhere) const;
  /// Height of a line across the whole table.
  double SpanHeight(const QString& text, const QFontMetricsF& metrics) const;
  int CellFlags(int column, uint32_t anywhere, Qt::Alignment align) const;

  void PaintHeader(QPainter& painter, const TTableReport& report) const;
  void PaintFooter(QPainter& painter, int index) const;
  void PaintCells(QPainter& painter, const QStringList& cells, double top, double height,
                  const QFont& font, uint32_t anywhere, bool heading,
                  const TTableReport& report) const;
  void PaintSpan(QPainter& painter, const QString& text, double top, double height,
                 const QFont& font, Qt::Alignment align, bool shaded) const;

  QSizeF page_;  // paint area in device pixels
  int dpi_;
  QFont titleFont_, bodyFont_, boldFont_;
  // Measured for the device's resolution, as the painter will draw.
  QFontMetricsF title_, body_, bold_;
  double padX_, padY_;
  double dateTop_ = 0, tableTop_ = 0, rowsTop_ = 0, rowsBottom_ = 0;
  std::vector<double> lefts_, widths_;  // per column
  double headingHeight_ = 0;
  uint32_t headingAnywhere_ = 0;
  std::vector<double> heights_;     // per row of the report
  std::vector<uint32_t> anywhere_;  // per row: cells that break inside words
  std::vector<std::vector<Placed>> pages_;
};
