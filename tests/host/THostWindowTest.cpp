// The reference host's main window around the real library: the library is
// copied into a folder of its own with cfg/cfg.config beside it, as on a
// user's machine, and loaded by path.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <filesystem>
#include <fstream>

#include "THostApplication.h"
#include "THostWindow.h"
#include "TPluginLibrary.h"
#include "TestDatabase.h"

namespace {

void Settle() {
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

// libtesmira.so in <folder>/lib with a configuration naming `database`.
std::string InstallLibrary(const TestDatabase& database) {
  namespace fs = std::filesystem;
  const fs::path lib = fs::path(database.Folder()) / "lib";
  fs::create_directories(lib / "cfg");
  fs::copy_file(TESMIRA_LIBRARY, lib / "libtesmira.so");
  std::ofstream(lib / "cfg" / "cfg.config")
      << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<cfgxml><DBConnectionPool "
         "Provider=\"SQLite\" "
         "DBName=\"t\" DBUser=\"\" Password=\"\" Schema=\""
      << database.Path() << "\" MinDBPoolSize=\"1\" MaxDBPoolSize=\"2\"/></cfgxml>\n";
  return (lib / "libtesmira.so").string();
}

}  // namespace

// A second window of a class does not cover the first; tiling windows that
// cannot shrink does not widen the main window past the screen; the user
// stays in the status bar whatever messages pass there.
TEST(ReferenceHost, WindowsOpenApartTileStaysOnTheScreenAndTheUserStaysShown) {
  TestDatabase database;
  database.Exec(
      u8"INSERT INTO TJCategories (CateID, CateCode, CateName) VALUES (1, '000001', '内科')");
  TPluginLibrary plugin(InstallLibrary(database));
  THostApplication application(/*unattended=*/true);
  {
    TCurrentUser user;
    user.UserName = "Chief";
    THostWindow host(plugin, user, /*unattended=*/true);
    plugin.InitDLL(&application, &host, nullptr);
    host.show();
    Settle();
    const QRect screen = host.screen()->availableGeometry();
    EXPECT_LE(host.width(), screen.width());

    TMDIChild* first = host.OpenWindow("TfrmCategorie");
    TMDIChild* second = host.OpenWindow("TfrmCategorie");
    Settle();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(host.SubWindowOf(first)->pos(), host.SubWindowOf(second)->pos());

    host.Area()->tileSubWindows();
    Settle();
    EXPECT_LE(host.width(), screen.width());
    EXPECT_LE(host.height(), screen.height());

    host.statusBar()->showMessage(QStringLiteral("菜单提示"));
    ASSERT_NE(host.UserField(), nullptr);
    EXPECT_TRUE(host.UserField()->isVisible());
    EXPECT_EQ(host.UserField()->text(), QStringLiteral("用户: Chief"));

    host.Area()->closeAllSubWindows();
    Settle();
    plugin.InitDLL(nullptr, nullptr, nullptr);
  }
  Settle();
  EXPECT_EQ(application.ErrorsShown(), 0);
}

// The Window menu names the windows as their titles do; choosing an open
// window brings it to the front, and a further copy has its own entry.
TEST(ReferenceHost, TheWindowMenuShowsCaptionsAndBringsAnOpenWindowToTheFront) {
  TestDatabase database;
  TPluginLibrary plugin(InstallLibrary(database));
  THostApplication application(/*unattended=*/true);
  {
    TCurrentUser user;
    user.UserName = "Chief";
    THostWindow host(plugin, user, /*unattended=*/true);
    plugin.InitDLL(&application, &host, nullptr);
    host.show();
    Settle();
    QMenu* windowMenu = host.menuBar()->findChildren<QMenu*>().value(0);
    ASSERT_NE(windowMenu, nullptr);
    QStringList texts;
    for (QAction* action : windowMenu->actions()) texts << action->text();
    EXPECT_EQ(texts.mid(0, 5),
              (QStringList{QStringLiteral("套餐设置"), QStringLiteral("类别维护"),
                           QStringLiteral("组合项目设置"), QStringLiteral("项目维护"),
                           QStringLiteral("试管类型")}));
    EXPECT_EQ(THostWindow::CaptionOf("TfrmUnknown"), QStringLiteral("TfrmUnknown"));

    TMDIChild* tubes = host.ShowWindow("TfrmSampleGroup");
    TMDIChild* categories = host.ShowWindow("TfrmCategorie");
    Settle();
    ASSERT_NE(tubes, nullptr);
    ASSERT_NE(categories, nullptr);
    EXPECT_EQ(host.Area()->activeSubWindow(), host.SubWindowOf(categories));
    host.SubWindowOf(tubes)->showMinimized();
    windowMenu->actions().at(4)->trigger();  // 试管类型 again
    Settle();
    EXPECT_EQ(host.OpenWindows().size(), 2u);
    EXPECT_EQ(host.Area()->activeSubWindow(), host.SubWindowOf(tubes));
    EXPECT_FALSE(host.SubWindowOf(tubes)->isMinimized());

    auto* another = windowMenu->findChild<QMenu*>(QStringLiteral("AnotherWindowMenu"));
    ASSERT_NE(another, nullptr);
    another->actions().at(4)->trigger();
    Settle();
    EXPECT_EQ(host.OpenWindows().size(), 3u);
    TMDIChild* shown = host.ShowWindow("tfrmsamplegroup");  // letters without case
    EXPECT_EQ(host.OpenWindows().size(), 3u);
    EXPECT_EQ(host.Area()->activeSubWindow(), host.SubWindowOf(shown));

    host.Area()->closeAllSubWindows();
    Settle();
    plugin.InitDLL(nullptr, nullptr, nullptr);
  }
  Settle();
  EXPECT_EQ(application.ErrorsShown(), 0);
}

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
