#include "TfrmCatalogueExchange.h"

#include <QColor>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "CatalogueExchange.h"
#include "Exceptions.h"
#include "Format.h"
#include "QtText.h"
#include "TCatalogueFollower.h"
#include "TLibraryApplication.h"
#include "TPermissionAction.h"
#include "TPromptService.h"

namespace {

enum Column { ColLine, ColOutcome, ColKind, ColCode, ColName, ColDetail, ColumnCount };

const char* const kSource = "TfrmCatalogueExchange";

// The outcome filter's entries after 全部, in TRowOutcome order.
const TRowOutcome kOutcomes[] = {TRowOutcome::Created, TRowOutcome::Updated, TRowOutcome::Unchanged,
                                 TRowOutcome::Refused};

// A row's background says its outcome at a glance; unchanged rows stay plain.
QColor OutcomeColour(TRowOutcome outcome) {
  switch (outcome) {
    case TRowOutcome::Created:
      return {218, 242, 218};
    case TRowOutcome::Updated:
      return {255, 246, 196};
    case TRowOutcome::Refused:
      return {250, 214, 214};
    default:
      return {};
  }
}

QTableWidgetItem* Cell(const QString& text, TRowOutcome outcome) {
  auto* cell = new QTableWidgetItem(text);
  cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  if (const QColor colour = OutcomeColour(outcome); colour.isValid()) cell->setBackground(colour);
  return cell;
}

// What failed in the window's words, then the reason after "原因：" (and the
// database's own text where the error carries one).
Exception Failure(const std::string& whatFailed, const std::exception& error) {
  std::string text = whatFailed + "\r\n原因：" + error.what();
  if (const auto* own = dynamic_cast<const EBaseException*>(&error); own && !own->ExtraText.empty())
    text += "\r\n" + own->ExtraText;
  return Exception(text);
}

// The file's path as the operating system takes it.
std::string NativePath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

}  // namespace

TfrmCatalogueExchange::TfrmCatalogueExchange(IWinMain* host) : TMDIChild(host) {
  setObjectName(QStringLiteral("frmCatalogueExchange"));
  setWindowTitle(QStringLiteral("目录导入导出"));
  BindOnDestroyToFormDestroy();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(BuildFileBar());
  layout->addWidget(BuildFilterBar());
  BuildGrid();
  layout->addWidget(grdRows, 1);
  prgWork = new QProgressBar(this);
  prgWork->setObjectName(QStringLiteral("prgWork"));
  prgWork->setRange(0, 1);
  prgWork->setValue(0);
  layout->addWidget(prgWork);
  BuildPermissionActions();
  ConnectHandlers();
}

TfrmCatalogueExchange::~TfrmCatalogueExchange() = default;

QSize TfrmCatalogueExchange::sizeHint() const {
  return {760, 480};
}

QWidget* TfrmCatalogueExchange::BuildFileBar() {
  auto* bar = new QWidget(this);
  bar->setObjectName(QStringLiteral("pnlFile"));
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  auto button = [bar](const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, bar);
    b->setObjectName(QString::fromLatin1(name));
    return b;
  };
  btnExport = button("btnExport", QStringLiteral("导出…"));
  btnChoose = button("btnChoose", QStringLiteral("选择文件…"));
  edtFile = new QLineEdit(bar);
  edtFile->setObjectName(QStringLiteral("edtFile"));
  edtFile->setReadOnly(true);
  edtFile->setPlaceholderText(QStringLiteral("要导入的文件"));
  cbbEncoding = new QComboBox(bar);
  cbbEncoding->setObjectName(QStringLiteral("cbbEncoding"));
  cbbEncoding->addItems({QStringLiteral("自动"), QStringLiteral("UTF-8"), QStringLiteral("GBK")});
  btnPreview = button("btnPreview", QStringLiteral("预览"));
  btnImport = button("btnImport", QStringLiteral("导入"));
  btnExit = button("btnExit", QStringLiteral("退出"));
  row->addWidget(btnExport);
  row->addSpacing(12);
  row->addWidget(btnChoose);
  row->addWidget(edtFile, 1);
  row->addWidget(new QLabel(QStringLiteral("编码"), bar));
  row->addWidget(cbbEncoding);
  for (QPushButton* b : {btnPreview, btnImport, btnExit}) row->addWidget(b);
  return bar;
}

QWidget* TfrmCatalogueExchange::BuildFilterBar() {
  auto* bar = new QWidget(this);
  bar->setObjectName(QStringLiteral("pnlFilter"));
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  cbbOutcome = new QComboBox(bar);
  cbbOutcome->setObjectName(QStringLiteral("cbbOutcome"));
  cbbOutcome->addItem(QStringLiteral("全部"));
  for (TRowOutcome outcome : kOutcomes) {
    TImportRow sample;
    sample.Outcome = outcome;
    cbbOutcome->addItem(QtText::ToQ(sample.OutcomeText()));
  }
  edtFilter = new QLineEdit(bar);
  edtFilter->setObjectName(QStringLiteral("edtFilter"));
  edtFilter->setPlaceholderText(QStringLiteral("按编号、名称或说明查找"));
  edtFilter->setClearButtonEnabled(true);
  lblCounts = new QLabel(bar);
  lblCounts->setObjectName(QStringLiteral("lblCounts"));
  row->addWidget(new QLabel(QStringLiteral("显示"), bar));
  row->addWidget(cbbOutcome);
  row->addWidget(edtFilter, 1);
  row->addWidget(lblCounts, 2);
  return bar;
}

void TfrmCatalogueExchange::BuildGrid() {
  grdRows = new QTableWidget(0, ColumnCount, this);
  grdRows->setObjectName(QStringLiteral("grdRows"));
  grdRows->setHorizontalHeaderLabels({QStringLiteral("行"), QStringLiteral("结果"),
                                      QStringLiteral("种类"), QStringLiteral("编号"),
                                      QStringLiteral("名称"), QStringLiteral("说明")});
  const int widths[] = {48, 48, 72, 80, 160};
  for (int column = 0; column < ColDetail; ++column)
    grdRows->setColumnWidth(column, widths[column]);
  grdRows->horizontalHeader()->setStretchLastSection(true);
  grdRows->verticalHeader()->hide();
  grdRows->verticalHeader()->setDefaultSectionSize(22);
  grdRows->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grdRows->setSelectionBehavior(QAbstractItemView::SelectRows);
  grdRows->setWordWrap(false);
}

// The window number 206 follows the sample tubes' 205.
void TfrmCatalogueExchange::BuildPermissionActions() {
  const ActionMaker PermissionAction = PermissionActionsOf("目录", nullptr);
  pmExport = PermissionAction(QStringLiteral("pmExport"), QStringLiteral("导出(&E)"),
                              CatalogueExchange::kExportRight, 0);
  pmImport = PermissionAction(QStringLiteral("pmImport"), QStringLiteral("导入(&I)"),
                              CatalogueExchange::kImportRight, 0);
}

// Choosing and previewing a file serve only an import: they need its right.
void TfrmCatalogueExchange::ConnectHandlers() {
  AddCommand(btnExport, pmExport, [this] { btnExportClick(); });
  AddCommand(btnChoose, pmImport, [this] { btnChooseClick(); });
  AddCommand(btnPreview, pmImport, [this] { btnPreviewClick(); });
  AddCommand(btnImport, pmImport, [this] { btnImportClick(); });
  AddCommand(btnExit, nullptr, [this] { close(); });
  connect(cbbOutcome, &QComboBox::currentIndexChanged, this, [this] { ApplyFilters(); });
  connect(edtFilter, &QLineEdit::textChanged, this, [this] { ApplyFilters(); });
}

TExchangeOptions TfrmCatalogueExchange::Options(bool dryRun) {
  TExchangeOptions options;
  options.DryRun = dryRun;
  options.Encoding = static_cast<TFileEncoding>(cbbEncoding->currentIndex());
  options.User = CurrentUser();
  options.Source = kSource;
  return options;
}

void TfrmCatalogueExchange::btnExportClick() {
  QString path = TPromptService::ChooseFile(this, TFileChoice::Save, QStringLiteral("导出目录"),
                                            QStringLiteral("CSV 文件 (*.csv)"));
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) {
    // The chooser asked about the name as typed; the file written is another.
    path += QStringLiteral(".csv");
    if (QFileInfo::exists(path) &&
        !TPromptService::Confirm(this, windowTitle(),
                                 QStringLiteral("文件 %1 已存在，是否覆盖？").arg(path)))
      return;
  }
  TExchangeOptions options = Options(false);
  // Only GBK is asked for; otherwise the file is UTF-8 as spreadsheets open it.
  if (options.Encoding != TFileEncoding::Gbk) options.Encoding = TFileEncoding::Utf8;
  int entries = 0;
  try {
    entries = CatalogueExchange::ExportFile(NativePath(path), options);
  } catch (const EExchangeError&) {
    // The exchange names the path in its own bytes; the window names it as chosen.
    throw Exception("导出目录失败。\r\n原因：无法写入文件：" + QtText::FromQ(path));
  } catch (const std::exception& error) {
    throw Failure("导出目录失败。", error);
  }
  TPromptService::Information(
      this, windowTitle(), QStringLiteral("已导出 %1 条目录到文件：\n%2").arg(entries).arg(path));
}

void TfrmCatalogueExchange::btnChooseClick() {
  const QString path =
      TPromptService::ChooseFile(this, TFileChoice::Open, QStringLiteral("选择要导入的文件"),
                                 QStringLiteral("CSV 文件 (*.csv);;所有文件 (*)"));
  if (path.isEmpty()) return;
  fileName_ = path;
  edtFile->setText(path);
  // A report of another file would be taken for this one's.
  ShowReport(nullptr);
}

void TfrmCatalogueExchange::btnPreviewClick() {
  if (fileName_.isEmpty()) {
    btnChooseClick();
    if (fileName_.isEmpty()) return;
  }
  Run(true, "预览失败，没有导入任何数据。");
}

// The import is previewed again first, so the question gives the counts of
// the file as it is now, and a file with refused rows is never applied.
void TfrmCatalogueExchange::btnImportClick() {
  if (fileName_.isEmpty()) {
    TPromptService::Information(this, windowTitle(), QStringLiteral("请先选择要导入的文件。"));
    return;
  }
  if (!Run(true, "导入失败，没有导入任何数据。")) return;
  const int refused = report_->Count(TRowOutcome::Refused);
  if (refused > 0)
    throw Exception(
        FormatText("有 %d 行被拒绝，不能导入，没有导入任何数据。请改正后重新预览。", {refused}));
  const int created = report_->Count(TRowOutcome::Created);
  const int updated = report_->Count(TRowOutcome::Updated);
  if (created + updated == 0) {
    TPromptService::Information(this, windowTitle(),
                                QStringLiteral("文件中的目录与数据库相同，没有需要导入的内容。"));
    return;
  }
  const QString question =
      QStringLiteral("将导入文件 %1：\n新增 %2 条，修改 %3 条，不变 %4 条。\n是否导入？")
          .arg(fileName_)
          .arg(created)
          .arg(updated)
          .arg(report_->Count(TRowOutcome::Unchanged));
  if (!TPromptService::Confirm(this, windowTitle(), question)) return;
  if (!Run(false, "导入失败，没有导入任何数据。")) return;
  if (!report_->Applied)
    throw Exception("导入时有行被拒绝，没有导入任何数据。\r\n" + report_->Summary());
  // The import wrote through objects of its own: the catalogue the open
  // windows show from takes the stored rows before they follow (without a
  // catalogue in memory there is nothing to bring in step).
  try {
    TCatalogueFollower::CatchUpNow();
  } catch (const std::exception& error) {
    throw Failure(report_->Summary() + "\r\n其他打开的窗口没能刷新，请重新打开它们。", error);
  }
  TPromptService::Information(this, windowTitle(), QtText::ToQ(report_->Summary()));
}

bool TfrmCatalogueExchange::PreviewFile(const QString& file) {
  fileName_ = file;
  edtFile->setText(file);
  try {
    RunCommand(btnPreview);
  } catch (const std::exception& error) {
    CurrentApplication()->ShowException(error);
    return false;
  }
  return report_ != nullptr;
}

bool TfrmCatalogueExchange::Run(bool dryRun, const char* whatFailed) {
  if (!QFileInfo(fileName_).isReadable()) {
    ShowReport(nullptr);
    throw Exception(std::string(whatFailed) + "\r\n原因：无法读取文件：" +
                    QtText::FromQ(fileName_));
  }
  TExchangeOptions options = Options(dryRun);
  options.Progress = [this](int done, int total) {
    if (done != total && done % std::max(total / 100, 1) != 0) return;
    prgWork->setRange(0, std::max(total, 1));
    prgWork->setValue(done);
    // Painted at once, without turning the event loop: each save of the
    // import tells the other windows to follow, and a turn of the loop now
    // would let them read the catalogue in the middle of the transaction (a
    // preview's rows that are about to be rolled back), or let a click write
    // inside it.
    prgWork->repaint();
  };
  SetWorking(true);
  std::unique_ptr<TImportReport> report;
  try {
    report = std::make_unique<TImportReport>(
        CatalogueExchange::ImportFile(NativePath(fileName_), options));
  } catch (const std::exception& error) {
    SetWorking(false);
    ShowReport(nullptr);
    throw Failure(whatFailed, error);
  }
  SetWorking(false);
  ShowReport(std::move(report));
  return true;
}

void TfrmCatalogueExchange::SetWorking(bool working) {
  // The bars, not the buttons: each button's own state follows its right.
  for (QWidget* bar : {btnExport->parentWidget(), cbbOutcome->parentWidget()})
    bar->setEnabled(!working);
  if (working) prgWork->setValue(0);
}

void TfrmCatalogueExchange::ShowReport(std::unique_ptr<TImportReport> report) {
  report_ = std::move(report);
  grdRows->setUpdatesEnabled(false);
  grdRows->setRowCount(0);
  const int rows = report_ ? static_cast<int>(report_->Rows.size()) : 0;
  grdRows->setRowCount(rows);
  for (int r = 0; r < rows; ++r) {
    const TImportRow& row = report_->Rows[static_cast<size_t>(r)];
    const QString texts[] = {QString::number(row.Line), QtText::ToQ(row.OutcomeText()),
                             QtText::ToQ(row.Kind),     QtText::ToQ(row.Key),
                             QtText::ToQ(row.Name),     QtText::ToQ(row.Detail())};
    for (int column = 0; column < ColumnCount; ++column)
      grdRows->setItem(r, column, Cell(texts[column], row.Outcome));
  }
  grdRows->setUpdatesEnabled(true);
  lblCounts->setText(report_ ? QtText::ToQ(report_->Summary()) : QString());
  ApplyFilters();
}

void TfrmCatalogueExchange::ApplyFilters() {
  if (!report_) return;
  const int outcomeIndex = cbbOutcome->currentIndex() - 1;  // -1: 全部
  const QString text = edtFilter->text().trimmed();
  for (int r = 0; r < grdRows->rowCount(); ++r) {
    const TImportRow& row = report_->Rows[static_cast<size_t>(r)];
    bool shown = outcomeIndex < 0 || row.Outcome == kOutcomes[outcomeIndex];
    if (shown && !text.isEmpty()) {
      shown = false;
      for (int column : {ColKind, ColCode, ColName, ColDetail})
        shown = shown || grdRows->item(r, column)->text().contains(text, Qt::CaseInsensitive);
    }
    grdRows->setRowHidden(r, !shown);
  }
}
