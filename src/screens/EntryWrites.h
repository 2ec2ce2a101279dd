#pragma once

#include <QString>
#include <functional>
#include <string>

#include "Exceptions.h"
#include "TPromptService.h"
#include "TWriteRules.h"

class QWidget;
class TDBObject;

/// How every window saves and deletes an entry of the catalogue: the
/// domain's one save and one delete, with what the windows add around them
/// in one place (the snapshot a refused save goes back to, the one delete
/// question, a rule's refusal shown as a hint).
namespace EntryWrites {

/// Who writes, from the window holding `widget`: its user and its class.
TWriteContext ContextOf(const QWidget* widget);

/// Shows a rule's refusal (EWriteRefused) as the hint "提示".
void ShowRefusal(QWidget* parent, const EWriteRefused& refusal);

/// The one save: `readFields` copies the window's fields into `entry`, then
/// the domain saves it (its rules, one transaction). When either fails, the
/// entry gets back the column values (`Values`) it had, since trees and
/// lists show it. A rule's refusal is shown as a hint and gives 0; any other
/// error propagates. 2 inserted, 3 updated.
template <class Values, class Entry>
int Save(QWidget* parent, Entry& entry, const std::function<void()>& readFields) {
  const Values before = entry;
  try {
    readFields();
    return entry.Save(ContextOf(parent));
  } catch (const EWriteRefused& refusal) {
    static_cast<Values&>(entry) = before;
    ShowRefusal(parent, refusal);
  } catch (...) {
    static_cast<Values&>(entry) = before;
    throw;
  }
  return 0;
}

/// The one delete question: `question` (the window's own words), then the
/// entry's code (when it has one) and name on a line of their own, answered
/// Yes or No.
bool ConfirmDelete(QWidget* parent, const QString& question, const std::string& code,
                   const std::string& name);

/// The domain's delete of an entry the user already confirmed: true when
/// the row is gone, false when a rule refused (shown as a hint).
bool RemoveConfirmed(QWidget* parent, TDBObject& entry);

/// The one delete: the question, then the domain's delete (its rules, one
/// transaction). True when the row is gone; false when the user said no or
/// a rule refused (shown as a hint). Any other error propagates. The caller
/// then only takes the entry off its trees and lists.
bool Delete(QWidget* parent, TDBObject& entry, const QString& question, const std::string& code,
            const std::string& name);

}  // namespace EntryWrites
