#pragma once

#include <exception>

#include "TLibraryApplication.h"

class QWidget;

/// What the window benchmarks (embedded and server) share: the check that a
/// tree was built, and an application that logs what a window would show.
namespace BenchWindows {

/// The number of nodes under the top level of the window's (first) tree: a
/// check that the tree really was built, not just the frame shown.
int TreeNodes(const QWidget* frame);

/// Any error a window shows goes to the log: a benchmark of a window that
/// failed to open would measure nothing.
class BenchApplication : public TApplication {
 public:
  void ShowException(const std::exception& error) override;
};

}  // namespace BenchWindows
