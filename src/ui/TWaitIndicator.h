#pragma once

#include <QPointer>
#include <QString>
#include <chrono>

class QLabel;
class QWidget;

/// Shown while a window waits for the database. The busy cursor comes at
/// once; when the wait lasts (the database layer calls the wait hook while
/// it waits, on this thread), a line over the window says what is awaited
/// and the windows are painted again, so they do not stay blank. Nothing
/// else runs meanwhile: no events are processed, so no other database call
/// can start on the connection that waits. Guards nest; the outermost one
/// speaks. Only on the thread of the application object.
class TWaitIndicator {
 public:
  /// `window`: where the line is shown; `what`: what is awaited (Chinese).
  TWaitIndicator(QWidget* window, QString what);
  ~TWaitIndicator();
  TWaitIndicator(const TWaitIndicator&) = delete;
  TWaitIndicator& operator=(const TWaitIndicator&) = delete;

  /// How long a wait goes unexplained before the line comes (tests: 0).
  static void SetMessageDelay(std::chrono::milliseconds delay);
  /// The line of the wait in force, or null while none is shown.
  static QLabel* Message();

 private:
  static void Tick();
  void ShowMessage();

  bool active_ = false;  // false for a nested guard or off the UI thread
  QPointer<QWidget> window_;
  QString what_;
  std::chrono::steady_clock::time_point since_;
  std::chrono::steady_clock::time_point lastPaint_;
  QPointer<QLabel> message_;
};
