#pragma once

#include <QEvent>
#include <QObject>
#include <functional>
#include <type_traits>
#include <utility>

/// Runs an event handler's body. An error that leaves it is handed to the
/// application object in force, which shows its message; the window stays
/// open and what the handler did before the error stays done.
void RunHandler(const std::function<void()>& body);

/// Calls `handler` without the signal's arguments. A template of its own so
/// that the call depends on them: clang checks a call that does not depend
/// on them even in the branch that a handler with arguments never takes.
template <class Handler, class... Args>
void CallWithoutArguments(const Handler& handler, Args&&...) {
  handler();
}

/// Connects a signal to a handler through RunHandler. The handler takes the
/// signal's arguments, or none; `context` ends the connection
/// when it is destroyed.
template <class Sender, class Signal, class Handler>
QMetaObject::Connection ConnectHandler(Sender* sender, Signal signal, const QObject* context,
                                       Handler handler) {
  return QObject::connect(sender, signal, context, [handler = std::move(handler)](auto&&... args) {
    RunHandler([&] {
      if constexpr (std::is_invocable_v<const Handler&, decltype(args)...>)
        handler(std::forward<decltype(args)>(args)...);
      else
        CallWithoutArguments(handler, args...);
    });
  });
}

/// Calls `handler` through RunHandler whenever `watched` receives an event of
/// `type` (focus out = the field's Exit handler, key press = KeyPress). The
/// handler returns true to consume the event. The filter belongs to `watched`.
void ConnectEvent(QObject* watched, QEvent::Type type, std::function<bool(QEvent*)> handler);
