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

/// What a save or delete gives besides its own results: another window or
/// desk changed the row meanwhile (the entry now holds the row as it is: the
/// window shows it again), or deleted it (the window takes the entry off).
inline constexpr int kChangedElsewhere = -1;
inline constexpr int kDeletedElsewhere = -2;

/// The one save: `readFields` copies the window's fields into `entry`, then
/// the domain saves it (its rules, one transaction). When either fails, the
/// entry gets back the column values (`Values`) it had, since trees and
/// lists show it, except when the row changed elsewhere: the entry then
/// holds the row as it is now. A refusal is shown as a hint and gives 0,
/// kChangedElsewhere or kDeletedElsewhere; any other error propagates. 2
/// inserted, 3 updated.
template <class Values, class Entry>
int Save(QWidget* parent, Entry& entry, const std::function<void()>& readFields) {
  const Values before = entry;
  try {
    readFields();
    return entry.Save(ContextOf(parent));
  } catch (const EEntryChanged& changed) {
    ShowRefusal(parent, changed);
    return kChangedElsewhere;
  } catch (const EWriteRefused& refusal) {
    static_cast<Values&>(entry) = before;
    ShowRefusal(parent, refusal);
    return dynamic_cast<const EEntryDeleted*>(&refusal) ? kDeletedElsewhere : 0;
  } catch (...) {
    static_cast<Values&>(entry) = before;
    throw;
  }
}

/// The one delete question: `question` (the window's own words), then the
/// entry's code (when it has one) and name on a line of their own, answered
/// Yes or No.
bool ConfirmDelete(QWidget* parent, const QString& question, const std::string& code,
                   const std::string& name);

/// The domain's delete of an entry the user already confirmed: 1 when the
/// row is gone (also when another desk deleted it first: told as a hint),
/// 0 when a rule refused, kChangedElsewhere when the row changed meanwhile
/// (the entry now holds it; the window shows it again). Refusals are shown
/// as hints; any other error propagates.
int RemoveConfirmed(QWidget* parent, TDBObject& entry);

/// The one delete: the question (0 when the user says no), then
/// RemoveConfirmed. The caller then only takes the entry off its trees and
/// lists (1) or shows it again (kChangedElsewhere).
int Delete(QWidget* parent, TDBObject& entry, const QString& question, const std::string& code,
           const std::string& name);

}  // namespace EntryWrites
