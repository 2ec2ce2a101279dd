#include "TPromptService.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <utility>
#include <vector>

namespace {

// A question asked in the middle of a command: the busy cursor of the wait
// around it (TWaitIndicator) gives way to the arrow while the person answers.
class TArrowWhileAsking {
 public:
  TArrowWhileAsking() : pushed_(QApplication::overrideCursor() != nullptr) {
    if (pushed_) QApplication::setOverrideCursor(Qt::ArrowCursor);
  }
  ~TArrowWhileAsking() {
    if (pushed_) QApplication::restoreOverrideCursor();
  }
  TArrowWhileAsking(const TArrowWhileAsking&) = delete;
  TArrowWhileAsking& operator=(const TArrowWhileAsking&) = delete;

 private:
  bool pushed_;
};

struct ScriptedAnswer {
  TPromptAnswer Answer;
  std::function<void(QDialog*)> Fill;
  QString File;  // a file chooser's answer
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
    out = {defaultAnswer, {}, {}};
    return true;
  }
  return false;
}

void Record(TPromptKind kind, const QString& caption, const QString& text, TPromptAnswer answer,
            bool scripted) {
  TheState().History.push_back({kind, caption, text, answer, scripted});
}

TPromptAnswer SafeAnswer(TPromptButtons buttons) {
  return buttons == TPromptButtons::YesNo ? TPromptAnswer::No : TPromptAnswer::Cancel;
}

QMessageBox::Icon BoxIcon(TPromptKind kind) {
  switch (kind) {
    case TPromptKind::Information:
      return QMessageBox::Information;
    case TPromptKind::Warning:
      return QMessageBox::Warning;
    case TPromptKind::Error:
      return QMessageBox::Critical;
    default:
      return QMessageBox::Question;
  }
}

// A button captioned as the system's own message boxes read in Chinese.
QPushButton* AddButton(QMessageBox& box, QMessageBox::StandardButton button) {
  QPushButton* added = box.addButton(button);
  switch (button) {
    case QMessageBox::Yes:
      added->setText(QStringLiteral("是(&Y)"));
      break;
    case QMessageBox::No:
      added->setText(QStringLiteral("否(&N)"));
      break;
    case QMessageBox::Cancel:
      added->setText(QStringLiteral("取消"));
      break;
    default:
      added->setText(QStringLiteral("确定"));
      break;
  }
  return added;
}

void ShowBox(TPromptKind kind, QWidget* parent, const QString& caption, const QString& text) {
  ScriptedAnswer scripted;
  if (TakeScripted(TPromptAnswer::Ok, scripted)) {
    Record(kind, caption, text, scripted.Answer, true);
    return;
  }
  QMessageBox box(BoxIcon(kind), caption, text, QMessageBox::NoButton, parent);
  AddButton(box, QMessageBox::Ok);
  const TArrowWhileAsking arrow;
  box.exec();
  Record(kind, caption, text, TPromptAnswer::Ok, false);
}

// The message box buttons and the answer each one gives.
const std::vector<std::pair<QMessageBox::StandardButton, TPromptAnswer>>& ButtonsOf(
    TPromptButtons buttons) {
  using B = QMessageBox;
  using A = TPromptAnswer;
  static const std::vector<std::pair<B::StandardButton, A>> yesNo = {{B::Yes, A::Yes},
                                                                     {B::No, A::No}};
  static const std::vector<std::pair<B::StandardButton, A>> yesNoCancel = {
      {B::Yes, A::Yes}, {B::No, A::No}, {B::Cancel, A::Cancel}};
  static const std::vector<std::pair<B::StandardButton, A>> okCancel = {{B::Ok, A::Ok},
                                                                        {B::Cancel, A::Cancel}};
  switch (buttons) {
    case TPromptButtons::YesNoCancel:
      return yesNoCancel;
    case TPromptButtons::OkCancel:
      return okCancel;
    default:
      return yesNo;
  }
}

TPromptAnswer AskPerson(QWidget* parent, TPromptKind icon, const QString& caption,
                        const QString& text, TPromptButtons buttons, TPromptAnswer safe) {
  QMessageBox box(BoxIcon(icon), caption, text, QMessageBox::NoButton, parent);
  for (const auto& [button, answer] : ButtonsOf(buttons)) {
    QPushButton* added = AddButton(box, button);
    if (answer == safe) box.setDefaultButton(added);
  }
  const TArrowWhileAsking arrow;
  const int pressed = box.exec();
  for (const auto& [button, answer] : ButtonsOf(buttons))
    if (pressed == button) return answer;
  return safe;  // closed without a button where no Cancel is offered
}

}  // namespace

void TPromptService::Information(QWidget* parent, const QString& caption, const QString& text) {
  ShowBox(TPromptKind::Information, parent, caption, text);
}

void TPromptService::Warning(QWidget* parent, const QString& caption, const QString& text) {
  ShowBox(TPromptKind::Warning, parent, caption, text);
}

void TPromptService::Error(QWidget* parent, const QString& caption, const QString& text) {
  ShowBox(TPromptKind::Error, parent, caption, text);
}

bool TPromptService::Confirm(QWidget* parent, const QString& caption, const QString& text) {
  const TPromptAnswer answer =
      Ask(parent, TPromptKind::Confirmation, caption, text, TPromptButtons::YesNo);
  return answer == TPromptAnswer::Yes || answer == TPromptAnswer::Ok;
}

TPromptAnswer TPromptService::Ask(QWidget* parent, TPromptKind icon, const QString& caption,
                                  const QString& text, TPromptButtons buttons) {
  const TPromptAnswer safe = SafeAnswer(buttons);
  ScriptedAnswer scripted;
  const bool fromScript = TakeScripted(safe, scripted);
  const TPromptAnswer answer =
      fromScript ? scripted.Answer : AskPerson(parent, icon, caption, text, buttons, safe);
  Record(icon, caption, text, answer, fromScript);
  return answer;
}

bool TPromptService::ExecDialog(QDialog* dialog) {
  ScriptedAnswer scripted;
  TPromptAnswer answer;
  bool fromScript = TakeScripted(TPromptAnswer::Rejected, scripted);
  if (fromScript) {
    if (scripted.Fill) scripted.Fill(dialog);
    answer = scripted.Answer;
  } else {
    const TArrowWhileAsking arrow;
    answer =
        dialog->exec() == QDialog::Accepted ? TPromptAnswer::Accepted : TPromptAnswer::Rejected;
  }
  Record(TPromptKind::Dialog, dialog->windowTitle(), QString(), answer, fromScript);
  return answer == TPromptAnswer::Accepted || answer == TPromptAnswer::Ok;
}

QString TPromptService::ChooseFile(QWidget* parent, TFileChoice choice, const QString& caption,
                                   const QString& filter) {
  ScriptedAnswer scripted;
  QString path;
  const bool fromScript = TakeScripted(TPromptAnswer::Rejected, scripted);
  if (fromScript) {
    path = scripted.File;
  } else {
    const TArrowWhileAsking arrow;
    path = choice == TFileChoice::Save
               ? QFileDialog::getSaveFileName(parent, caption, QString(), filter)
               : QFileDialog::getOpenFileName(parent, caption, QString(), filter);
  }
  Record(TPromptKind::Dialog, caption, path,
         path.isEmpty() ? TPromptAnswer::Rejected : TPromptAnswer::Accepted, fromScript);
  return path;
}

void TPromptService::SetNextFile(const QString& path) {
  TheState().Queue.push_back(
      {path.isEmpty() ? TPromptAnswer::Rejected : TPromptAnswer::Accepted, {}, path});
}

void TPromptService::SetNextAnswer(TPromptAnswer answer) {
  TheState().Queue.push_back({answer, {}, {}});
}

void TPromptService::SetNextDialog(TPromptAnswer answer, std::function<void(QDialog*)> fill) {
  TheState().Queue.push_back({answer, std::move(fill), {}});
}

void TPromptService::SetScripted(bool scripted) {
  TheState().Scripted = scripted;
}
bool TPromptService::IsScripted() {
  return TheState().Scripted;
}

const std::vector<TPromptRecord>& TPromptService::History() {
  return TheState().History;
}
void TPromptService::ClearHistory() {
  TheState().History.clear();
}

void TPromptService::Reset() {
  TheState().Queue.clear();
  TheState().History.clear();
}
