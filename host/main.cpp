// tesmira-host: the reference host program. It loads libtesmira.so by path,
// resolves its exports by name, lends no pool, and offers the library's
// windows in a multiple-document main window for the user it is given.
#include <tesmira/MDIChildWidget.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QMouseEvent>
#include <QStyle>
#include <QTimer>
#include <QTranslator>
#include <QTreeWidget>
#include <functional>
#include <iostream>
#include <memory>

#include "HostText.h"
#include "THostApplication.h"
#include "THostStyle.h"
#include "THostWindow.h"
#include "TPluginLibrary.h"

namespace {

TCurrentUser UserFrom(const QCommandLineParser& args) {
  TCurrentUser user;
  if (args.isSet(QStringLiteral("user")))
    user.UserName = HostText::ToGbk(args.value(QStringLiteral("user")));
  const QStringList codes =
      args.value(QStringLiteral("rights")).split(QLatin1Char(','), Qt::SkipEmptyParts);
  for (const QString& code : codes) user.Rights.push_back({HostText::ToGbk(code.trimmed())});
  user.Operator.OperatorName = HostText::ToGbk(args.value(QStringLiteral("operator")));
  return user;
}

// The library beside the executable (a build folder), else where the install
// rules put it relative to the executable's folder, so an installed copy
// finds its own library wherever the prefix is.
QString DefaultPluginPath() {
  const QDir here(QCoreApplication::applicationDirPath());
  const QString beside = here.filePath(QStringLiteral("libtesmira.so"));
  if (QFileInfo::exists(beside)) return beside;
  return QDir::cleanPath(here.filePath(QStringLiteral(TESMIRA_PLUGIN_FROM_BIN "/libtesmira.so")));
}

// Qt's own texts (standard buttons, file and print dialogs, edit menus) in
// Chinese, like the rest of the program: Qt's translation from the Debian
// package qt6-translations-l10n. Without it Qt stays English.
void InstallQtChinese(QTranslator& translator) {
  if (translator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(&translator);
}

void FlushDeletes() {
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

// Picks the first entry of the window's tree as a user would (press and
// release on it), so the picture shows what a window does with an entry:
// the first node below a top-level node (the first item of the first
// category that has one) or, in a tree of one level, its first node.
void ClickFirstTreeEntry(QWidget* window) {
  auto* tree = window->findChild<QTreeWidget*>();
  if (!tree || tree->topLevelItemCount() == 0) return;
  QTreeWidgetItem* entry = tree->topLevelItem(0);
  for (int i = 0; i < tree->topLevelItemCount(); ++i) {
    if (tree->topLevelItem(i)->childCount() == 0) continue;
    entry = tree->topLevelItem(i)->child(0);
    entry->parent()->setExpanded(true);
    break;
  }
  tree->scrollToItem(entry);
  QCoreApplication::processEvents();
  const QPointF at = tree->visualItemRect(entry).center();
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent click(type, at, tree->viewport()->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &click);
  }
}

// In an unattended run (screenshots, prints) nobody is there to answer: a
// modal window that comes up (a question, a message, a dialog of a window)
// is reported as an error and dismissed, so the run never waits for a person.
class TModalDismisser : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::Show && widget && widget->isWindow() && widget->isModal())
      QTimer::singleShot(0, widget, [widget] { Dismiss(widget); });
    return false;
  }

 private:
  static void Dismiss(QWidget* modal) {
    std::string what = modal->windowTitle().toStdString();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) what += ": " + box->text().toStdString();
    std::cerr << "error: modal window dismissed: " << what << std::endl;
    if (auto* dialog = qobject_cast<QDialog*>(modal))
      dialog->reject();
    else
      modal->close();
  }
};

// Opens every registered window in turn (maximised) and runs `work` on its
// widget; then closes it. Returns the number of windows that failed to open
// or whose work failed.
int ForEachWindow(THostWindow& host,
                  const std::function<bool(const std::string&, QWidget*)>& work) {
  int failures = 0;
  for (const std::string& name : host.WindowNames()) {
    TMDIChild* window = host.OpenWindow(name);
    if (!window) {
      ++failures;
      continue;
    }
    QMdiSubWindow* sub = host.SubWindowOf(window);
    if (sub) sub->showMaximized();
    FlushDeletes();
    if (!work(name, MDIChildWidget(window))) ++failures;
    if (sub) sub->close();
    FlushDeletes();
  }
  return failures;
}

QString FileFor(const QString& dir, const std::string& name, const char* suffix) {
  return QDir(dir).filePath(HostText::FromGbk(name) + QString::fromLatin1(suffix));
}

// Hands `file` to a window that previews catalogue files (the exchange
// window's PreviewFile, reached by name like SaveCodeTable); other windows
// are left alone. False when the window has the operation and it failed.
bool PreviewIn(QWidget* window, const QString& file) {
  if (file.isEmpty() || window->metaObject()->indexOfMethod("PreviewFile(QString)") < 0)
    return true;
  bool previewed = false;
  QMetaObject::invokeMethod(window, "PreviewFile", Qt::DirectConnection,
                            Q_RETURN_ARG(bool, previewed), Q_ARG(QString, file));
  return previewed;
}

// Saves DIR/<name>.png of the main window showing each registered window
// (with its first entry shown; with `previewFile` previewed in the window
// that previews catalogue files).
int TakeScreenshots(THostWindow& host, const QString& dir, const QString& previewFile) {
  QDir().mkpath(dir);
  return ForEachWindow(host, [&](const std::string& name, QWidget* window) {
    ClickFirstTreeEntry(window);
    if (!PreviewIn(window, previewFile)) return false;
    FlushDeletes();
    const QString file = FileFor(dir, name, ".png");
    if (!host.grab().save(file)) {
      std::cerr << "cannot write " << file.toStdString() << "\n";
      return false;
    }
    std::cout << "wrote " << file.toStdString() << "\n";
    return true;
  });
}

// Writes DIR/<name>.pdf, the code table of each registered window that
// prints one, through the window's own print (the user's rights apply; a
// refusal is reported as an error). The window's operations are reached by
// name through Qt's meta objects: the library exports nothing more.
int PrintCodeTables(THostWindow& host, const QString& dir) {
  QDir().mkpath(dir);
  return ForEachWindow(host, [&](const std::string& name, QWidget* window) {
    bool prints = false;
    QMetaObject::invokeMethod(window, "PrintsCodeTable", Qt::DirectConnection,
                              Q_RETURN_ARG(bool, prints));
    if (!prints) return true;
    const QString file = FileFor(dir, name, ".pdf");
    bool written = false;
    QMetaObject::invokeMethod(window, "SaveCodeTable", Qt::DirectConnection,
                              Q_RETURN_ARG(bool, written), Q_ARG(QString, file));
    if (written) std::cout << "wrote " << file.toStdString() << "\n";
    return written;
  });
}

// Resident memory of this process in KiB (VmRSS of /proc/self/status).
long ResidentKiB() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
  return -1;
}

// Opens and closes every registered window `cycles` times (a window whose
// memory stays is seen as growth) and reports the resident memory after the
// first round (warm-up: caches, fonts, lookup lists) and at the end.
int OpenAndCloseCycles(THostWindow& host, int cycles) {
  int failures = 0;
  const size_t windows = host.WindowNames().size();
  long warm = 0;
  for (int round = 0; round < cycles; ++round) {
    failures += ForEachWindow(host, [](const std::string&, QWidget*) { return true; });
    if (round == 0) warm = ResidentKiB();
  }
  const long end = ResidentKiB();
  std::cout << "opens " << windows * static_cast<size_t>(cycles) << ", resident after warm-up "
            << warm << " KiB, at the end " << end << " KiB" << std::endl;
  return failures;
}

}  // namespace

int main(int argc, char** argv) {
  bool headless =
      qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
  if (headless && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // The style chosen so far (platform, -style, QT_STYLE_OVERRIDE) stays
  // underneath; the application owns the new one.
  QApplication::setStyle(new THostStyle(QApplication::style()->name()));
  QApplication::setApplicationDisplayName(QStringLiteral("Tesmira"));
  QApplication::setApplicationVersion(QStringLiteral(TESMIRA_VERSION));
  QTranslator qtChinese;
  InstallQtChinese(qtChinese);

  QCommandLineParser args;
  args.setApplicationDescription(QStringLiteral("Reference host for the Tesmira library"));
  args.addHelpOption();
  args.addVersionOption();
  args.addOptions({
      {QStringLiteral("library"),
       QStringLiteral("Path of libtesmira.so (default: beside the program, else the installed "
                      "library)."),
       QStringLiteral("path")},
      {QStringLiteral("user"), QStringLiteral("Logged-in user name."), QStringLiteral("name")},
      {QStringLiteral("rights"), QStringLiteral("Granted function codes."),
       QStringLiteral("codes")},
      {QStringLiteral("operator"), QStringLiteral("Operator name."), QStringLiteral("name")},
      {QStringLiteral("list-windows"), QStringLiteral("Print the registered window names.")},
      {QStringLiteral("open"), QStringLiteral("Open a window at start."), QStringLiteral("name")},
      {QStringLiteral("screenshot"), QStringLiteral("Save every window as DIR/<name>.png."),
       QStringLiteral("dir")},
      {QStringLiteral("print"),
       QStringLiteral("Save the code table of every window that prints one as DIR/<name>.pdf."),
       QStringLiteral("dir")},
      {QStringLiteral("preview"),
       QStringLiteral("A catalogue file (CSV) the exchange window previews when it opens "
                      "(--open) or is shot (--screenshot)."),
       QStringLiteral("file")},
      {QStringLiteral("cycles"),
       QStringLiteral("Open and close every window N times and report resident memory."),
       QStringLiteral("n")},
      {QStringLiteral("verbose"), QStringLiteral("Log the window notifications.")},
  });
  args.process(app);

  std::unique_ptr<TPluginLibrary> plugin;
  try {
    plugin = std::make_unique<TPluginLibrary>(
        args.isSet(QStringLiteral("library")) ? args.value(QStringLiteral("library")).toStdString()
                                              : DefaultPluginPath().toStdString());
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    return 2;
  }

  if (args.isSet(QStringLiteral("list-windows"))) {
    std::string names;
    plugin->GetClassNames(names);
    std::cout << HostText::ToUtf8(names) << std::flush;
    return 0;
  }

  const bool unattended = args.isSet(QStringLiteral("screenshot")) ||
                          args.isSet(QStringLiteral("print")) ||
                          args.isSet(QStringLiteral("cycles"));
  THostApplication hostApplication(unattended);
  TModalDismisser dismisser;
  if (unattended) app.installEventFilter(&dismisser);
  int status = 0;
  {
    THostWindow host(*plugin, UserFrom(args), unattended);
    host.Verbose = args.isSet(QStringLiteral("verbose"));
    plugin->InitDLL(&hostApplication, &host, nullptr);
    host.show();
    const QString previewFile = args.value(QStringLiteral("preview"));
    for (const QString& name : args.values(QStringLiteral("open")))
      if (TMDIChild* window = host.OpenWindow(HostText::ToGbk(name)))
        PreviewIn(MDIChildWidget(window), previewFile);

    if (unattended) {
      int failures = 0;
      if (args.isSet(QStringLiteral("screenshot")))
        failures += TakeScreenshots(host, args.value(QStringLiteral("screenshot")), previewFile);
      if (args.isSet(QStringLiteral("print")))
        failures += PrintCodeTables(host, args.value(QStringLiteral("print")));
      if (args.isSet(QStringLiteral("cycles")))
        failures += OpenAndCloseCycles(host, args.value(QStringLiteral("cycles")).toInt());
      status = failures == 0 ? 0 : 1;
    } else {
      status = app.exec();
    }
    // The windows go before the library does.
    host.Area()->closeAllSubWindows();
    FlushDeletes();
    // Our application object and host interface leave with us: hand the
    // library its own application object back and let go of the host.
    plugin->InitDLL(nullptr, nullptr, nullptr);
  }
  FlushDeletes();
  plugin.reset();
  return status;
}
