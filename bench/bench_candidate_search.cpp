// candidate_search: the check set window's search as the user types, over
// 50 000 candidates (45 000 items and 5 000 combination items, none chosen).
// Each keystroke is the search field's new text followed by the repaint of
// the not-chosen list it changes (offscreen Qt, shown at 1000 x 700), timed
// from the text change until the list is painted again. The ratio is the
// slowest keystroke against one frame of 16 ms; the median is printed too.
#include <sqlite3.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "BenchSupport.h"
#include "DomainObjects.h"
#include "RecordingHost.h"
#include "TBaseItem.h"
#include "TPromptService.h"
#include "TestDatabase.h"
#include "TfamSelCombItem.h"

using namespace BenchSupport;

namespace {

constexpr int kItems = 45000;
constexpr int kCombos = 5000;
constexpr int kRows = kItems + kCombos;
constexpr double kFrameMs = 16.0;

void Fill(const std::string& path) {
  sqlite3* raw = nullptr;
  sqlite3_open(path.c_str(), &raw);
  sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(raw,
                     "insert into TJItem (ItemID, ItemCode, ItemName, AbForPY, AbForWB, AbCustom, "
                     "CateID, ItemType, IsInUse) values (?1, printf('%06d', ?1), ?2 || ?1, "
                     "'XCG' || ?1, 'GJT' || ?1, 'A' || ?1, 1 + ?1 % 50, ?3, 1)",
                     -1, &st, nullptr);
  for (int i = 1; i <= kRows; ++i) {
    const bool combo = i > kItems;
    sqlite3_bind_int(st, 1, i);
    sqlite3_bind_text(st, 2, combo ? Utf8(u8"组合项目") : Utf8(u8"血常规检查"), -1, SQLITE_STATIC);
    sqlite3_bind_int(st, 3, combo ? 1 : 0);
    sqlite3_step(st);
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(raw);
}

int VisibleEntries(const QListView* list) {
  int shown = 0;
  for (int row = 0; row < list->model()->rowCount(); ++row) shown += list->isRowHidden(row) ? 0 : 1;
  return shown;
}

// The offscreen platform warns about a top-level frame it cannot size; only
// the result line belongs on the output.
void QuietQt(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(QuietQt);
  QApplication qt(argc, argv);
  TPromptService::SetScripted(true);
  TestDatabase db;
  Fill(db.Path());
  db.UseAsLibraryPool(1, 2);

  auto frame = std::make_unique<TfamSelCombItem>();
  frame->resize(1000, 700);
  frame->show();
  frame->LoadCandidates();
  TBaseItem checkSet(DomainObjects::SharedPool());
  checkSet.ItemType = 2;
  frame->ShowCheckSet(&checkSet);
  ProcessPendingEvents();
  QListView* list = frame->lstNotChoseCombItem;
  if (list->model()->rowCount() != kRows)
    std::fprintf(stderr, "unexpected candidate count %d\n", list->model()->rowCount());

  // Typed one character after another, then taken back one by one: a code,
  // a mnemonic and a name.
  const QStringList typed{QStringLiteral("1"),
                          QStringLiteral("12"),
                          QStringLiteral("123"),
                          QStringLiteral("1234"),
                          QStringLiteral("123"),
                          QStringLiteral("12"),
                          QStringLiteral("1"),
                          QString(),
                          QStringLiteral("x"),
                          QStringLiteral("xc"),
                          QStringLiteral("xcg"),
                          QStringLiteral("xcg4"),
                          QStringLiteral("xcg44"),
                          QStringLiteral("xcg444"),
                          QString(),
                          QStringLiteral("组"),
                          QStringLiteral("组合"),
                          QStringLiteral("组合项"),
                          QStringLiteral("组合项目"),
                          QString()};
  std::vector<double> keystrokes;
  int narrowest = kRows;
  for (const QString& text : typed) {
    keystrokes.push_back(Timed([&] {
      frame->edtSearchCombItem->setText(text);
      QApplication::processEvents();  // the list's delayed layout
      list->viewport()->repaint();
    }));
    narrowest = std::min(narrowest, VisibleEntries(list));
    if (qEnvironmentVariableIsSet("BENCH_DETAIL"))  // one line per keystroke
      std::fprintf(stderr, "\"%s\": %.1f ms, %d entries shown\n", text.toUtf8().constData(),
                   keystrokes.back(), VisibleEntries(list));
  }
  const double worst = *std::max_element(keystrokes.begin(), keystrokes.end());
  std::printf(
      "candidate_search: ratio=%.2f (check set window's search as typed over %d candidates, "
      "%zu keystrokes, each until the not-chosen list is painted again: median %.1f ms, worst "
      "%.1f ms, against one frame of %.0f ms; narrowest result %d entries)\n",
      worst / kFrameMs, kRows, keystrokes.size(), Median(keystrokes), worst, kFrameMs, narrowest);
  frame.reset();
  DomainObjects::ReleaseProcessObjects();
  return 0;
}
