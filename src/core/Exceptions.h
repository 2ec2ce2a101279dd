#pragma once

#include <exception>
#include <string>

#include "Format.h"

/// The runtime's base error: carries the message text (GBK). Handlers may put
/// a text in front of the message and raise the same object again.
class Exception : public std::exception {
 public:
  Exception() = default;
  explicit Exception(std::string message) : message_(std::move(message)) {}
  /// Format constructor: the message is FormatText(tmpl, args).
  Exception(const std::string& tmpl, TFormatArgs args) : message_(FormatText(tmpl, args)) {}
  ~Exception() override = default;

  const std::string& Message() const { return message_; }
  void SetMessage(std::string message) { message_ = std::move(message); }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

/// Base of all errors of this system: an error code and an extra text and
/// value beside the message. The plain and format constructors leave the three
/// members at 0 or empty.
class EBaseException : public Exception {
 public:
  using Exception::Exception;
  /// Message "Error code: %d" with the error code formatted in.
  EBaseException(const std::string& extraText, int extraValue, int errorCode);
  /// As the first, but with the message given.
  EBaseException(const std::string& extraText, int extraValue, int errorCode,
                 const std::string& message);

  /// Clears the error code, the extra text and value, and the message.
  virtual void Reset();

  int ErrorCode = 0;
  std::string ExtraText;
  int ExtraValue = 0;
};

/// Infrastructure failures.
class ESystemException : public EBaseException {
 public:
  using EBaseException::EBaseException;
};

/// What kind of failure a database error is, decided where the database's
/// own code is known (SQLite's result code, ODBC's SQLSTATE) and before any
/// text is worded from it: a lost connection must never be reported as a
/// refusal of the data, nor the other way round.
enum class TDBErrorKind {
  Other,
  ConnectionLost,     // the link broke; the server rolled back what was open
  ConstraintRefused,  // a key, a unique index, a check or a refusing trigger
  NoPrivilege,        // the account or the file may not be written
  TimedOut,           // a lock or an answer not had in time
};

/// Configuration, pool, statement and connection-binding failures.
class EDBException : public ESystemException {
 public:
  using ESystemException::ESystemException;
  EDBException(std::string message, TDBErrorKind kind)
      : ESystemException(std::move(message)), Kind(kind) {}

  TDBErrorKind Kind = TDBErrorKind::Other;
};

/// The kind of a database error; Other for any other error.
TDBErrorKind DBErrorKindOf(const std::exception& error);

/// Catalogue failures and screen-level refusals.
class ETJItemException : public EBaseException {
 public:
  using EBaseException::EBaseException;
};

/// A write a catalogue rule refused (a duplicate name, a missing right, an
/// entry still in use): nothing was stored and nothing is wrong with the
/// system. Windows show it as a hint and stay as they are.
class EWriteRefused : public ETJItemException {
 public:
  using ETJItemException::ETJItemException;
};

/// A save or delete refused because another window or desk changed the
/// row since it was read here: the object now holds the row as it is, so
/// the window shows that (its message says what was not saved).
class EEntryChanged : public EWriteRefused {
 public:
  using EWriteRefused::EWriteRefused;
};

/// A save or delete refused because the row is gone: another window or
/// desk deleted it. Windows take the entry off their trees and lists.
class EEntryDeleted : public EWriteRefused {
 public:
  using EWriteRefused::EWriteRefused;
};

/// Sample-type failures.
class ETJSampleException : public EBaseException {
 public:
  using EBaseException::EBaseException;
};

/// Sample-group failures.
class ETJSampleGroupException : public EBaseException {
 public:
  using EBaseException::EBaseException;
};
