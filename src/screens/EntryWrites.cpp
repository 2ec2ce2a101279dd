#include "EntryWrites.h"

#include <QWidget>

#include "QtText.h"
#include "TDBObject.h"
#include "TMDIChild.h"

namespace EntryWrites {

TWriteContext ContextOf(const QWidget* widget) {
  for (const QWidget* w = widget; w; w = w->parentWidget())
    if (const auto* window = qobject_cast<const TMDIChild*>(w))
      return TWriteContext{window->CurrentUser(), window->metaObject()->className()};
  return {};
}

void ShowRefusal(QWidget* parent, const EWriteRefused& refusal) {
  TPromptService::Warning(parent, QStringLiteral("提示"), QtText::ToQ(refusal.Message()));
}

bool ConfirmDelete(QWidget* parent, const QString& question, const std::string& code,
                   const std::string& name) {
  QString entry = code.empty() ? QString() : QtText::ToQ(code) + QStringLiteral("　");
  entry += QtText::ToQ(name);
  return TPromptService::Confirm(parent, QStringLiteral("确认"),
                                 question + QStringLiteral("\n") + entry);
}

int Delete(QWidget* parent, TDBObject& entry, const QString& question, const std::string& code,
           const std::string& name) {
  if (!ConfirmDelete(parent, question, code, name)) return 0;
  return RemoveConfirmed(parent, entry);
}

int RemoveConfirmed(QWidget* parent, TDBObject& entry) {
  try {
    entry.Remove(ContextOf(parent));
  } catch (const EEntryChanged& changed) {
    ShowRefusal(parent, changed);
    return kChangedElsewhere;
  } catch (const EEntryDeleted& gone) {
    ShowRefusal(parent, gone);  // what the user wanted is done, by someone else
  } catch (const EWriteRefused& refusal) {
    ShowRefusal(parent, refusal);
    return 0;
  }
  return 1;
}

}  // namespace EntryWrites
