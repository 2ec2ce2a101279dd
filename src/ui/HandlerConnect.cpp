#include "HandlerConnect.h"

#include "Exceptions.h"
#include "TLibraryApplication.h"

namespace {

// An event filter that forwards one event type to a handler.
class EventHandlerFilter : public QObject {
 public:
  EventHandlerFilter(QObject* owner, QEvent::Type type, std::function<bool(QEvent*)> handler)
      : QObject(owner), type_(type), handler_(std::move(handler)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != type_) return QObject::eventFilter(watched, event);
    bool consumed = false;
    RunHandler([&] { consumed = handler_(event); });
    return consumed;
  }

 private:
  QEvent::Type type_;
  std::function<bool(QEvent*)> handler_;
};

}  // namespace

void RunHandler(const std::function<void()>& body) {
  try {
    body();
  } catch (const std::exception& error) {
    CurrentApplication()->ShowException(error);
  } catch (...) {
    CurrentApplication()->ShowException(Exception("Unknown error"));
  }
}

void ConnectEvent(QObject* watched, QEvent::Type type, std::function<bool(QEvent*)> handler) {
  watched->installEventFilter(new EventHandlerFilter(watched, type, std::move(handler)));
}
