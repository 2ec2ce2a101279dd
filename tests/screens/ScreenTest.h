#pragma once

#include <gtest/gtest.h>

#include <QPoint>
#include <QPointer>
#include <QString>
#include <ostream>
#include <string>
#include <vector>

#include "RecordingHost.h"
#include "TLibraryApplication.h"
#include "TMDIChild.h"
#include "TestDatabase.h"

class QAbstractButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

/// An application object that keeps the messages it was asked to show
/// (UTF-8, for readable comparisons).
class RecordingApplication : public TApplication {
 public:
  void ShowException(const std::exception& error) override;
  std::vector<std::string> Shown;
};

/// Every window test: a fresh SQLite file as the library's pool, the
/// recording host as the shared context's host (user "Chief", who holds
/// every right, operator "张医生"), scripted
/// prompts, a recording application object, and no domain singleton left
/// over from an earlier test.
class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  /// Opens a window the way the registry's factory does.
  template <class Window>
  Window* Open() {
    auto* window = static_cast<Window*>(TMDIChild::Construct<Window>(&host));
    opened_.push_back(window->Frame());
    Settle();
    return window;
  }
  /// Runs pending events so focus changes and deferred work take effect.
  static void Settle();

  /// A left click in the middle of `node`.
  static void ClickNode(QTreeWidget* tree, QTreeWidgetItem* node);
  /// A left click on the tree where there is no node.
  static void ClickEmptySpace(QTreeWidget* tree);
  /// Gives `field` the keyboard focus and types `text` over its content.
  static void TypeInto(QWidget* field, const QString& text);
  /// Moves the focus to `next` as a mouse click on it would.
  static void FocusByMouse(QWidget* next);
  /// The node texts of the tree's top level, or of one node's children.
  static QStringList TopTexts(QTreeWidget* tree);
  static QStringList ChildTexts(QTreeWidgetItem* node);

  /// Loads sql/demo-data.sql, the demonstration catalogue, into the database.
  void LoadDemoData();
  /// Presses a print button and, in the print preview that opens, saves the
  /// PDF as `file` through the file dialog (scripted answers, real widgets).
  /// Returns the number of pages the preview showed (0: no preview came).
  static int PrintThroughPreview(QAbstractButton* printButton, const QString& file);
  /// The text of each page of a PDF in drawing order (pdftotext -raw): the
  /// cells of a table row come out on one line, separated by a blank.
  static QStringList PdfPages(const QString& file);

  /// The last message the application object showed, "" when none.
  std::string LastShown() const { return app.Shown.empty() ? "" : app.Shown.back(); }

  RecordingHost host;
  RecordingApplication app;
  TestDatabase db;

 private:
  std::vector<QPointer<QWidget>> opened_;  // the windows' frames
};

/// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

/// UTF-8 bytes of a u8 literal as std::string.
inline std::string Utf8(const char8_t* text) {
  return reinterpret_cast<const char*>(text);
}
/// QString from a u8 literal.
inline QString Q(const char8_t* text) {
  return QString::fromUtf8(Utf8(text).c_str());
}
