// Opening and closing windows leaves nothing behind: every registered window
// is opened through the registry's factory (as a host's CreateMDIChild call
// does) on the demonstration catalogue and closed again, many times. What a
// window holds while open — widgets, the window object, its subscription to
// catalogue changes, the host's reference, pictures — must all be back where
// they were once every kind of window has been open a few times.
#include <gtest/gtest.h>

#include <QApplication>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CatalogueEvents.h"
#include "DomainObjects.h"
#include "RecordingHost.h"
#include "TImageList.h"
#include "TLibraryApplication.h"
#include "TMDIChild.h"
#include "TSingleComm.h"
#include "TestDatabase.h"
#include "WindowRegistry.h"

namespace {

class SilentApplication : public TApplication {
 public:
  void ShowException(const std::exception& error) override { Shown.push_back(error.what()); }
  std::vector<std::string> Shown;
};

// What an open and closed window could leave behind, counted.
struct TProcessCounts {
  int Windows, Listeners, Widgets, ApplicationChildren, Pictures;
  long HostReferences;
  bool operator==(const TProcessCounts&) const = default;
};

void PrintTo(const TProcessCounts& c, std::ostream* out) {
  *out << "windows " << c.Windows << ", listeners " << c.Listeners << ", widgets " << c.Widgets
       << ", application children " << c.ApplicationChildren << ", pictures " << c.Pictures
       << ", host references " << c.HostReferences;
}

class WindowCyclesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ifstream in(TESMIRA_SOURCE_DIR "/sql/demo-data.sql");
    ASSERT_TRUE(in) << "sql/demo-data.sql is missing";
    std::stringstream text;
    text << in.rdbuf();
    db.Exec(text.str());
    db.UseAsLibraryPool();
    host.User.UserName = "Chief";
    WindowRegistry::Startup();
    WindowRegistry::InitDLL(&app, &host, nullptr);  // what a host does after loading
  }
  void TearDown() override {
    WindowRegistry::InitDLL(nullptr, &host, nullptr);
    WindowRegistry::Shutdown();
    DomainObjects::ReleaseProcessObjects();
    TSingleComm::Instance().SetWinMain(nullptr);
  }

  static std::vector<std::string> RegisteredNames() {
    std::string text;
    WindowRegistry::GetClassNames(text);
    std::vector<std::string> names;
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
         start = end + 2)
      names.push_back(text.substr(start, end - start));
    return names;
  }

  // Opens and closes `name` the way a host's user does; false when the
  // window did not open.
  bool OpenAndClose(const std::string& name) {
    TMDIChild* window = WindowRegistry::CreateMDIChild(name, &host);
    if (!window) return false;
    ProcessPendingEvents();
    window->Frame()->close();
    ProcessPendingEvents();
    host.Clear();
    return true;
  }

  TProcessCounts Counts() const {
    return {TMDIChild::LiveWindows(),
            CatalogueEvents::ListenerCount(),
            static_cast<int>(QApplication::allWidgets().size()),
            static_cast<int>(QCoreApplication::instance()->children().size()),
            TImageList::PicturesMade(),
            host.RefCount};
  }

  TestDatabase db;
  RecordingHost host;
  SilentApplication app;
};

}  // namespace

TEST_F(WindowCyclesTest, TwoHundredOpensOfEveryWindowLeaveNothingBehind) {
  const std::vector<std::string> names = RegisteredNames();
  ASSERT_EQ(names.size(), 7u);
  const TProcessCounts before = Counts();
  TProcessCounts warm{};
  for (int cycle = 1; cycle <= 200; ++cycle) {
    for (const std::string& name : names) ASSERT_TRUE(OpenAndClose(name)) << name;
    if (cycle == 20) warm = Counts();
  }
  EXPECT_TRUE(app.Shown.empty()) << app.Shown.front();
  EXPECT_EQ(Counts(), warm);
  // Closed windows are gone entirely, not merely flat.
  EXPECT_EQ(warm.Windows, before.Windows);
  EXPECT_EQ(warm.Listeners, before.Listeners);
  EXPECT_EQ(warm.Widgets, before.Widgets);
  EXPECT_EQ(warm.HostReferences, before.HostReferences);
}
