#include "TPromptService.h"

#include <QDialog>
#include <QMessageBox>

namespace {

struct ScriptedAnswer {
  TPromptAnswer Answer;
  std::function<void(QDialog*)> Fill;
};

struct State {
  std::deque<ScriptedAnswer> Queue;
  std::vector<TPromptRecord> History;
  bool Scripted = false;
};

State& TheState() {
  static State state;
  return state;
}

// Takes the next scripted answer, or the default in scripted mode; returns
// false when a person has to answer.
bool TakeScripted(TPromptAnswer defaultAnswer, ScriptedAnswer& out) {
  State& s = TheState();
  if (!s.Queue.empty()) {
    out = std::move(s.Queue.front());
    s.Queue.pop_front();
    return true;
  }
  if (s.Scripted) {
    out = {defaultAnswer, {}};
    return true;
  }
  return false;
}

void Record(TPromptKind kind, const QString& caption, const QString& text, TPromptAnswer answer,
            bool scripted) {
  TheState().History.push_back({kind, caption, text, answer, scripted});
}

void ShowBox(QMessageBox::Icon icon, TPromptKind kind, QWidget* parent, const QString& caption,
             const QString& text) {
  ScriptedAnswer scripted;
  if (TakeScripted(TPromptAnswer::Ok, scripted)) {
    Record(kind, caption, text, scripted.Answer, true);
    return;
  }
  QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
  box.exec();
  Record(kind, caption, text, TPromptAnswer::Ok, false);
}

}  // namespace

void TPromptService::Information(QWidget* parent, const QString& caption, const QString& text) {
  ShowBox(QMessageBox::Information, TPromptKind::Information, parent, caption, text);
}

void TPromptService::Warning(QWidget* parent, const QString& caption, const QString& text) {
  ShowBox(QMessageBox::Warning, TPromptKind::Warning, parent, caption, text);
}

void TPromptService::Error(QWidget* parent, const QString& caption, const QString& text) {
  ShowBox(QMessageBox::Critical, TPromptKind::Error, parent, caption, text);
}

bool TPromptService::Confirm(QWidget* parent, const QString& caption, const QString& text) {
  ScriptedAnswer scripted;
  TPromptAnswer answer;
  bool fromScript = TakeScripted(TPromptAnswer::No, scripted);
  if (fromScript) {
    answer = scripted.Answer;
  } else {
    auto button = QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No,
                                        QMessageBox::No);
    answer = button == QMessageBox::Yes ? TPromptAnswer::Yes : TPromptAnswer::No;
  }
  Record(TPromptKind::Confirmation, caption, text, answer, fromScript);
  return answer == TPromptAnswer::Yes || answer == TPromptAnswer::Ok;
}

bool TPromptService::ConfirmOkCancel(QWidget* parent, const QString& caption, const QString& text) {
  ScriptedAnswer scripted;
  TPromptAnswer answer;
  const bool fromScript = TakeScripted(TPromptAnswer::Cancel, scripted);
  if (fromScript) {
    answer = scripted.Answer;
  } else {
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                    parent);
    box.setDefaultButton(QMessageBox::Cancel);
    answer = box.exec() == QMessageBox::Ok ? TPromptAnswer::Ok : TPromptAnswer::Cancel;
  }
  Record(TPromptKind::Confirmation, caption, text, answer, fromScript);
  return answer == TPromptAnswer::Ok || answer == TPromptAnswer::Yes;
}

bool TPromptService::ExecDialog(QDialog* dialog) {
  ScriptedAnswer scripted;
  TPromptAnswer answer;
  bool fromScript = TakeScripted(TPromptAnswer::Rejected, scripted);
  if (fromScript) {
    if (scripted.Fill) scripted.Fill(dialog);
    answer = scripted.Answer;
  } else {
    answer = dialog->exec() == QDialog::Accepted ? TPromptAnswer::Accepted : TPromptAnswer::Rejected;
  }
  Record(TPromptKind::Dialog, dialog->windowTitle(), QString(), answer, fromScript);
  return answer == TPromptAnswer::Accepted || answer == TPromptAnswer::Ok;
}

void TPromptService::SetNextAnswer(TPromptAnswer answer) {
  TheState().Queue.push_back({answer, {}});
}

void TPromptService::SetNextDialog(TPromptAnswer answer, std::function<void(QDialog*)> fill) {
  TheState().Queue.push_back({answer, std::move(fill)});
}

void TPromptService::SetScripted(bool scripted) { TheState().Scripted = scripted; }
bool TPromptService::IsScripted() { return TheState().Scripted; }

const std::vector<TPromptRecord>& TPromptService::History() { return TheState().History; }
void TPromptService::ClearHistory() { TheState().History.clear(); }

void TPromptService::Reset() {
  TheState().Queue.clear();
  TheState().History.clear();
}
