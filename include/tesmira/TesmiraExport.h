#pragma once

/// Marks the few symbols of libtesmira.so that a host or a sibling library
/// resolves; everything else is built with hidden visibility.
#define TESMIRA_EXPORT __attribute__((visibility("default")))
