#pragma once

#include <QPointer>
#include <functional>

class TMDIChild;

/// A window's part in following the catalogue: after a save or delete made
/// by another window of the process, the window's `refresh` brings its
/// trees and lists up to date — once per turn of the event loop however
/// many entries changed (an import saves many), and never in the middle of
/// another window's command. What the user is typing stays: refreshes
/// rebuild trees and lists, never the editor. The window's own commands
/// have brought it up to date already. Ends with the object.
class TCatalogueFollower {
 public:
  TCatalogueFollower(TMDIChild* window, std::function<void()> refresh);
  ~TCatalogueFollower();
  TCatalogueFollower(const TCatalogueFollower&) = delete;
  TCatalogueFollower& operator=(const TCatalogueFollower&) = delete;

 private:
  void Changed();

  QPointer<TMDIChild> window_;
  std::function<void()> refresh_;
  int token_ = 0;
  bool pending_ = false;
};
