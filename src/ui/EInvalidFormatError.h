#pragma once

#include "Exceptions.h"

/// A result value format that the value format parser refuses. Its message
/// tells the user how to write the format.
class EInvalidFormatError : public Exception {
 public:
  using Exception::Exception;
};
