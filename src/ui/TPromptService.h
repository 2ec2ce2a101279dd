#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <vector>

class QDialog;
class QWidget;

/// The answer to a prompt: a message-box button, or a dialog's result.
enum class TPromptAnswer { Ok, Cancel, Yes, No, Accepted, Rejected };

/// The kind of prompt that was put to the user.
enum class TPromptKind { Information, Warning, Error, Confirmation, Dialog };

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
  /// A Yes/No question; true for Yes.
  static bool Confirm(QWidget* parent, const QString& caption, const QString& text);
  /// An OK/Cancel question with the information icon; true for OK. Scripted
  /// without a queued answer it is cancelled.
  static bool ConfirmOkCancel(QWidget* parent, const QString& caption, const QString& text);
  /// Runs the dialog modally; true when it was accepted. A scripted answer
  /// may first fill the dialog through the hook given with it.
  static bool ExecDialog(QDialog* dialog);

  /// Queues the answer for the next prompt (first in, first out).
  static void SetNextAnswer(TPromptAnswer answer);
  /// Queues a dialog result; `fill` runs on the dialog before it is answered.
  static void SetNextDialog(TPromptAnswer answer, std::function<void(QDialog*)> fill = {});
  /// Scripted mode: never block on a person; unqueued prompts take defaults.
  static void SetScripted(bool scripted);
  static bool IsScripted();

  static const std::vector<TPromptRecord>& History();
  static void ClearHistory();
  /// Drops queued answers and history.
  static void Reset();
};
