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

/// Configuration, pool, statement and connection-binding failures.
class EDBException : public ESystemException {
 public:
  using ESystemException::ESystemException;
};

/// Catalogue failures and screen-level refusals.
class ETJItemException : public EBaseException {
 public:
  using EBaseException::EBaseException;
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
