#pragma once

#include <exception>
#include <string>

#include "Exceptions.h"

/// Runs `body`; an error leaving it is raised again with `prefix` put directly
/// in front of its message. Errors of the system keep their class and their
/// members (the same object is raised again); any other error becomes a
/// plain Exception carrying the prefixed text.
template <class Body>
auto WithMessagePrefix(const std::string& prefix, Body&& body) -> decltype(body()) {
  try {
    return body();
  } catch (Exception& e) {
    e.SetMessage(prefix + e.Message());
    throw;
  } catch (const std::exception& e) {
    throw Exception(prefix + e.what());
  }
}
