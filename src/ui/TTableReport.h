#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QPagedPaintDevice;
class TReportLayout;

/// One column of a table report: its heading and the side its cells keep to.
struct TReportColumn {
  QString Heading;
  Qt::Alignment Align = Qt::AlignLeft;
};

/// A printed table, as the windows print their code tables: the title (the
/// window's caption) and the date at the top of every page, the heading row
/// repeated on every page, the rows, and "第 n 页 / 共 m 页" at the foot; A4
/// portrait. Rows may be gathered under a group line (a category, a check
/// set) and a group may end with a note line (a set's price); a group that
/// goes on over a page break gets its line again, marked "（续）".
///
/// The windows only say which columns and rows; the report fits the columns
/// to the page (text that does not fit wraps inside its cell) and breaks the
/// pages. That layout is worked out once per page size and resolution and
/// reused by every repaint of a preview.
class TTableReport {
 public:
  enum class RowKind { Data, Group, Note };
  struct Row {
    RowKind Kind;
    QStringList Cells;  // one per column for a data row; one text otherwise
  };

  TTableReport(QString title, std::vector<TReportColumn> columns,
               QDate date = QDate::currentDate());
  ~TTableReport();
  TTableReport(TTableReport&& other) noexcept;
  TTableReport& operator=(TTableReport&& other) noexcept;

  /// A group line across the table; the rows after it belong to it.
  void AddGroup(const QString& text);
  /// A data row: one cell per column (missing cells stay blank).
  void AddRow(QStringList cells);
  /// A line across the table, right-aligned, closing the current group.
  void AddNote(const QString& text);

  const QString& Title() const { return title_; }
  const QDate& Date() const { return date_; }
  const std::vector<TReportColumn>& Columns() const { return columns_; }
  const std::vector<Row>& Rows() const { return rows_; }
  /// No row of any kind: nothing to print.
  bool IsEmpty() const { return rows_.empty(); }

  /// A4 portrait with the report's margins.
  static void SetUpPage(QPagedPaintDevice& device);
  /// The number of pages the report takes on `device` (page set up).
  int PageCount(const QPagedPaintDevice& device) const;
  /// Paints pages `fromPage` to `toPage` (1-based; 0 and 0: all) on a
  /// device whose page is set up: a printer, the preview's printer, a PDF
  /// writer. Raises Exception when the device cannot be painted on (an
  /// output file that cannot be opened).
  void Render(QPagedPaintDevice& device, int fromPage = 0, int toPage = 0) const;
  /// Writes the report as a PDF file (text searchable, fonts embedded). The
  /// file is replaced only once it is complete; a file that cannot be
  /// written raises Exception naming it and the reason.
  void WritePdf(const QString& file) const;

 private:
  const TReportLayout& LayoutFor(const QPagedPaintDevice& device) const;

  QString title_;
  std::vector<TReportColumn> columns_;
  QDate date_;
  std::vector<Row> rows_;
  mutable std::unique_ptr<TReportLayout> layout_;  // of the device painted last
};
