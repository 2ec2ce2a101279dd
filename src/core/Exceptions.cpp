#include "Exceptions.h"

EBaseException::EBaseException(const std::string& extraText, int extraValue, int errorCode) {
  Reset();
  SetMessage(FormatText("Error code: %d", {errorCode}));
  ExtraText = extraText;
  ExtraValue = extraValue;
  ErrorCode = errorCode;
}

EBaseException::EBaseException(const std::string& extraText, int extraValue, int errorCode,
                               const std::string& message) {
  Reset();
  SetMessage(message);
  ExtraText = extraText;
  ExtraValue = extraValue;
  ErrorCode = errorCode;
}

void EBaseException::Reset() {
  ErrorCode = 0;
  ExtraText.clear();
  ExtraValue = 0;
  SetMessage(std::string());
}

TDBErrorKind DBErrorKindOf(const std::exception& error) {
  const auto* database = dynamic_cast<const EDBException*>(&error);
  return database ? database->Kind : TDBErrorKind::Other;
}
