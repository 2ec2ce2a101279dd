#pragma once

#include <QPointer>
#include <functional>
#include <unordered_set>
#include <vector>

class TBaseItem;
class TMDIChild;

/// A window's part in following the catalogue: after a save or delete made
/// by another window of the process, the window's `refresh` brings its
/// trees and lists up to date — once per turn of the event loop however
/// many entries changed (an import saves many), and never in the middle of
/// another window's command. What the user is typing stays: refreshes
/// rebuild trees and lists, never the editor. The window's own commands
/// have brought it up to date already. Ends with the object.
///
/// Writes of other desks are caught up when the window is activated and on
/// F5: one query on the catalogue's change stamp decides; when it moved,
/// the process's catalogue is read again and every open window follows.
class TCatalogueFollower {
 public:
  /// The entries the window's editors show (kept as they are by a catch-up).
  using THeld = std::function<std::vector<const TBaseItem*>()>;

  TCatalogueFollower(TMDIChild* window, std::function<void()> refresh, THeld held = {});
  ~TCatalogueFollower();
  TCatalogueFollower(const TCatalogueFollower&) = delete;
  TCatalogueFollower& operator=(const TCatalogueFollower&) = delete;

  /// The activation and F5 check of every window: true when another desk
  /// had written the catalogue (the windows then follow).
  static bool CatchUpWithOtherDesks();
  /// The catalogue read again whatever the stamp says (writes of this
  /// process made through objects of their own, such as an import), then
  /// every window follows.
  static void CatchUpNow();

 private:
  void Changed();
  static std::unordered_set<const TBaseItem*> HeldEntries();

  QPointer<TMDIChild> window_;
  std::function<void()> refresh_;
  THeld held_;
  int token_ = 0;
  bool pending_ = false;
};
