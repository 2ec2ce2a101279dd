#pragma once

#include <functional>
#include <string>
#include <vector>

class TDBObject;
struct TCurrentUser;

/// What a write does to its row.
enum class TWriteAction { Insert, Update, Delete };

/// Who writes and from where: the user whose rights a write needs (null:
/// the library's own work, no rights asked, as for tests and set-up code)
/// and the window or command the write comes from.
struct TWriteContext {
  const TCurrentUser* user = nullptr;
  std::string source;
};

/// The rules of one class of persistent object, run by the object layer's
/// one save and one delete inside their transaction: checks before the row
/// is written (a refusal raises and nothing is stored), records after it
/// (still inside the transaction: a failure there undoes the write too).
class TWriteRules {
 public:
  using Rule =
      std::function<void(TDBObject& object, TWriteAction action, const TWriteContext& context)>;

  TWriteRules& Check(Rule rule);
  TWriteRules& Record(Rule rule);
  /// Adds the checks and records of `other` after those already here.
  TWriteRules& Append(const TWriteRules& other);

  void RunChecks(TDBObject& object, TWriteAction action, const TWriteContext& context) const;
  void RunRecords(TDBObject& object, TWriteAction action, const TWriteContext& context) const;

 private:
  std::vector<Rule> checks_;
  std::vector<Rule> records_;
};
