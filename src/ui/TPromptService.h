#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <vector>

class QDialog;
class QWidget;

/// The answer to a prompt: a message-box button, or a dialog's result.
enum class TPromptAnswer { Ok, Cancel, Yes, No, Accepted, Rejected };

/// The kind of prompt that was put to the user; for a question, its icon
/// (Confirmation is the question mark).
enum class TPromptKind { Information, Warning, Error, Confirmation, Dialog };

/// What a file chooser asks for: a file to read, or where to write one.
enum class TFileChoice { Open, Save };

/// The buttons a question offers.
enum class TPromptButtons { YesNo, YesNoCancel, OkCancel };

/// One prompt as the user saw it (kept for tests and for the host's log).
struct TPromptRecord {
  TPromptKind Kind;
  QString Caption;
  QString Text;
  TPromptAnswer Answer;
  bool Scripted;  // answered from the script, not by a person
};

/// Every modal question of the library goes through here: message boxes,
/// confirmations and modal dialogs. By default they are real QMessageBox and
/// QDialog::exec calls. Tests (and unattended runs) queue the next answers;
/// in scripted mode a prompt without a queued answer takes its safe default
/// (Ok, No, Rejected) instead of waiting for a person.
class TPromptService {
 public:
  static void Information(QWidget* parent, const QString& caption, const QString& text);
  static void Warning(QWidget* parent, const QString& caption, const QString& text);
  static void Error(QWidget* parent, const QString& caption, const QString& text);
  /// A Yes/No question with the question-mark icon; true for Yes.
  static bool Confirm(QWidget* parent, const QString& caption, const QString& text);
  /// A question with the icon of `icon` and the given buttons; returns the
  /// button pressed. Closing the box answers Cancel where it is offered. The
  /// safe answer (Cancel where offered, else No) is the default button and
  /// the scripted default.
  static TPromptAnswer Ask(QWidget* parent, TPromptKind icon, const QString& caption,
                           const QString& text, TPromptButtons buttons);
  /// Runs the dialog modally; true when it was accepted. A scripted answer
  /// may first fill the dialog through the hook given with it.
  static bool ExecDialog(QDialog* dialog);
  /// A file chooser (QFileDialog) with `filter` ("CSV 文件 (*.csv)"); the
  /// path chosen, empty when cancelled. A save chooser asks before it lets
  /// an existing file be overwritten. Scripted: the queued file, else
  /// cancelled.
  static QString ChooseFile(QWidget* parent, TFileChoice choice, const QString& caption,
                            const QString& filter);

  /// Queues the answer for the next prompt (first in, first out).
  static void SetNextAnswer(TPromptAnswer answer);
  /// Queues a dialog result; `fill` runs on the dialog before it is answered.
  static void SetNextDialog(TPromptAnswer answer, std::function<void(QDialog*)> fill = {});
  /// Queues the path the next file chooser answers with (empty: cancelled).
  static void SetNextFile(const QString& path);
  /// Scripted mode: never block on a person; unqueued prompts take defaults.
  static void SetScripted(bool scripted);
  static bool IsScripted();

  static const std::vector<TPromptRecord>& History();
  static void ClearHistory();
  /// Drops queued answers and history.
  static void Reset();
};
