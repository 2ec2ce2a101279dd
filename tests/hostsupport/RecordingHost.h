#pragma once

#include <QMdiArea>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "IWinMain.h"

/// A host for tests: owns a QMdiArea for the windows, holds a user, records
/// every notification in order and answers the close action it is told to.
class RecordingHost : public IWinMain {
 public:
  struct Event {
    std::string What;  // "create", "destroy", "show", "close", "activate", "deactivate"
    TMDIChild* Window;
  };

  RecordingHost();
  ~RecordingHost();

  long QueryInterface(const TGUID&, void** object) override;
  long AddRef() override { return ++RefCount; }
  long Release() override { return --RefCount; }

  QWidget* GetFormOwner() override;
  TCurrentUser* GetCurrentUser() override { return &User; }
  void MDIChildCreate(TMDIChild* window) override { Record("create", window); }
  void MDIChildDestroy(TMDIChild* window) override {
    Record("destroy", window);
    if (OnDestroy) OnDestroy(window);
  }
  void MDIChildShow(TMDIChild* window) override {
    Record("show", window);
    if (OnShow) OnShow(window);
  }
  void MDIChildClose(TMDIChild* window, TCloseAction& action) override;
  void MDIChildActivate(TMDIChild* window) override { Record("activate", window); }
  void MDIChildDeactivate(TMDIChild* window) override { Record("deactivate", window); }

  /// The notifications' names, in order, optionally only for one window.
  std::vector<std::string> Names(const TMDIChild* window = nullptr) const;
  void Clear() { Events.clear(); }
  QMdiArea* Area() { return area_.get(); }

  TCurrentUser User;
  TCloseAction CloseAnswer = TCloseAction::caFree;
  TCloseAction LastProposedClose = TCloseAction::caNone;
  std::vector<Event> Events;
  long RefCount = 0;
  /// Run inside MDIChildShow and MDIChildDestroy, after they were recorded.
  std::function<void(TMDIChild*)> OnShow;
  std::function<void(TMDIChild*)> OnDestroy;
  /// Lets a test window add its own steps to the record.
  void Note(const char* what, TMDIChild* window) { Record(what, window); }
  /// When set, GetFormOwner returns it instead of the area.
  QWidget* OwnerOverride = nullptr;

 private:
  void Record(const char* what, TMDIChild* window) { Events.push_back({what, window}); }
  std::unique_ptr<QMdiArea> area_;
};

/// Runs posted events, deferred deletes included.
void ProcessPendingEvents();
