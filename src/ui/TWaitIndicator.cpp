#include "TWaitIndicator.h"

#include <QApplication>
#include <QLabel>
#include <QThread>

#include "WaitHook.h"

namespace {

TWaitIndicator* g_current = nullptr;  // the outermost guard in force
std::chrono::milliseconds g_delay{3000};
// Painting the windows again costs a full paint: a few times a second.
constexpr std::chrono::milliseconds kPaintEvery{250};

bool OnApplicationThread() {
  return qobject_cast<QApplication*>(QCoreApplication::instance()) &&
         QThread::currentThread() == QCoreApplication::instance()->thread();
}

}  // namespace

TWaitIndicator::TWaitIndicator(QWidget* window, QString what)
    : window_(window), what_(std::move(what)), since_(std::chrono::steady_clock::now()) {
  if (g_current || !OnApplicationThread()) return;
  active_ = true;
  g_current = this;
  lastPaint_ = since_;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  SetWaitHook(&TWaitIndicator::Tick);
}

TWaitIndicator::~TWaitIndicator() {
  if (!active_) return;
  SetWaitHook(nullptr);
  g_current = nullptr;
  delete message_.data();
  QApplication::restoreOverrideCursor();
}

void TWaitIndicator::SetMessageDelay(std::chrono::milliseconds delay) {
  g_delay = delay;
}

QLabel* TWaitIndicator::Message() {
  return g_current ? g_current->message_.data() : nullptr;
}

// Called by the database layer while it waits. Paints synchronously
// (repaint) and processes no events: a click or a timer handled here could
// start another call on the connection that is waiting.
void TWaitIndicator::Tick() {
  TWaitIndicator* self = g_current;
  if (!self || !OnApplicationThread()) return;
  const auto now = std::chrono::steady_clock::now();
  if (!self->message_ && now - self->since_ >= g_delay) self->ShowMessage();
  if (now - self->lastPaint_ < kPaintEvery) return;
  self->lastPaint_ = now;
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top->isVisible()) top->repaint();
}

void TWaitIndicator::ShowMessage() {
  auto* label = new QLabel(QStringLiteral("正在等待数据库：%1，请稍候……").arg(what_), window_,
                           Qt::ToolTip | Qt::FramelessWindowHint);
  label->setObjectName(QStringLiteral("WaitMessage"));
  label->setMargin(8);
  label->adjustSize();
  if (window_) {
    const QPoint centre = window_->mapToGlobal(window_->rect().center());
    label->move(centre - label->rect().center());
  }
  label->show();
  label->repaint();
  message_ = label;
}
