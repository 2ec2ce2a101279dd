#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "Exceptions.h"
#include "TLibraryApplication.h"
#include "TPromptService.h"
#include "TWaitIndicator.h"
#include "TestWindow.h"
#include "WaitHook.h"

namespace {

using Names = std::vector<std::string>;

// An application object that keeps what it was asked to show.
class RecordingApplication : public TApplication {
 public:
  void ShowException(const std::exception& error) override { Shown.push_back(error.what()); }
  std::vector<std::string> Shown;
};

class TMDIChildTest : public ::testing::Test {
 protected:
  TestWindow* Open(bool bindDestroy = false) {
    auto* w = new TestWindow(&host, &host, bindDestroy);
    w->CompleteCreation();
    return w;
  }
  RecordingHost host;
};

class FailingWindow : public TMDIChild {
 public:
  using TMDIChild::TMDIChild;
  void FormCreate(QObject* sender) override {
    TMDIChild::FormCreate(sender);
    throw EDBException("找不到配置文件 .\\cfg\\cfg.config");
  }
};

}  // namespace

TEST_F(TMDIChildTest, CreateReachesHostBeforeOwnWorkAndShowBeforeActions) {
  bool enabledAtShow = false;
  host.OnShow = [&](TMDIChild* w) {
    enabledAtShow = static_cast<TestWindow*>(w)->OwnAction->isEnabled();
  };
  TestWindow* w = Open();
  EXPECT_EQ(host.Names(w), (Names{"create", "own-create", "show", "activate"}));
  EXPECT_TRUE(enabledAtShow);               // not yet set when the host heard of the show
  EXPECT_FALSE(w->OwnAction->isEnabled());  // then set: the user holds no right
  EXPECT_EQ(host.RefCount, 1);              // the window holds the host
  ASSERT_NE(w->SubWindow(), nullptr);
  EXPECT_EQ(w->SubWindow()->mdiArea(), host.Area());
  EXPECT_EQ(w->font().pixelSize(), 12);
}

TEST_F(TMDIChildTest, ActivationMovesBetweenTwoWindows) {
  TestWindow* a = Open();
  TestWindow* b = Open();
  host.Area()->setActiveSubWindow(a->SubWindow());
  host.Clear();
  host.Area()->setActiveSubWindow(b->SubWindow());
  EXPECT_EQ(host.Names(a), (Names{"deactivate"}));
  EXPECT_EQ(host.Names(b), (Names{"activate"}));
}

TEST_F(TMDIChildTest, CloseActionComesFromTheHost) {
  TestWindow* w = Open();
  host.CloseAnswer = TCloseAction::caNone;
  w->SubWindow()->close();
  ProcessPendingEvents();
  EXPECT_EQ(host.LastProposedClose, TCloseAction::caMinimize);
  EXPECT_TRUE(w->SubWindow()->isVisible());

  host.CloseAnswer = TCloseAction::caHide;
  w->close();
  ProcessPendingEvents();
  EXPECT_FALSE(w->SubWindow()->isVisible());
  host.Clear();
  w->SubWindow()->show();
  EXPECT_EQ(host.Names(w), (Names{"show"}));  // showing again repeats the notification

  host.CloseAnswer = TCloseAction::caFree;
  host.Clear();
  w->SubWindow()->close();
  ProcessPendingEvents();
  EXPECT_EQ(host.Names(), (Names{"close", "deactivate", "destroy"}));
  EXPECT_TRUE(host.Area()->subWindowList().isEmpty());
  EXPECT_EQ(host.RefCount, 0);  // released after the form is gone
}

TEST_F(TMDIChildTest, BoundDestroyHandlerTellsTheHostTwice) {
  TestWindow* w = Open(/*bindDestroy=*/true);
  host.Clear();
  delete w->SubWindow();
  EXPECT_EQ(host.Names(), (Names{"deactivate", "destroy", "destroy"}));
}

// The destructor tells the host; an error the host raises there would end
// the process if it left the destructor.
TEST_F(TMDIChildTest, AnErrorTheHostRaisesOnDestroyIsShownLikeAnyHandlerError) {
  RecordingApplication app;
  SetCurrentApplication(&app);
  TestWindow* w = Open(/*bindDestroy=*/true);
  host.OnDestroy = [](TMDIChild*) { throw EDBException("主窗口已关闭"); };
  delete w->SubWindow();
  host.OnDestroy = nullptr;
  SetCurrentApplication(nullptr);
  EXPECT_EQ(app.Shown, (std::vector<std::string>{"主窗口已关闭", "主窗口已关闭"}));
  EXPECT_EQ(host.RefCount, 0);  // the host is still let go
  EXPECT_TRUE(host.Area()->subWindowList().isEmpty());
}

TEST_F(TMDIChildTest, PermissionsFollowTheRightsEachTimeTheWindowIsShown) {
  TestWindow* w = Open();
  EXPECT_FALSE(w->OwnAction->isEnabled());
  EXPECT_TRUE(w->OwnAction->isVisible());  // disabled but visible
  EXPECT_FALSE(w->FrameAction->isEnabled());
  EXPECT_FALSE(w->FrameAction->isVisible());    // the action inside the frame is reached too
  EXPECT_FALSE(w->GuardedButton->isVisible());  // paired before the first show, hidden at it

  host.User.Rights = {{"tjxt201004"}};
  w->SubWindow()->hide();
  w->SubWindow()->show();
  EXPECT_FALSE(w->OwnAction->isEnabled());
  EXPECT_TRUE(w->FrameAction->isEnabled());
  EXPECT_TRUE(w->FrameAction->isVisible());  // with the right, hidden becomes visible
  EXPECT_TRUE(w->GuardedButton->isVisible());
  EXPECT_TRUE(w->GuardedButton->isEnabled());

  host.User.UserName = "chief";
  w->ApplyPermissions();
  EXPECT_TRUE(w->OwnAction->isEnabled());
}

TEST_F(TMDIChildTest, GuardedButtonsFollowTheirActionsAndHandlersCheckTheRightAgain) {
  TestWindow* w = Open();
  auto* add = new QPushButton(w->Frame);
  auto* save = new QPushButton(w->Frame);
  auto* designHidden = new QPushButton(w->Frame);                // a button the window never shows
  auto* exit = new QPushButton(w->Frame);                        // no action: never touched
  for (QPushButton* button : {add, save, exit}) button->show();  // as a layout shows them
  designHidden->hide();
  w->OwnAction->setText(QStringLiteral("增加(&A)"));
  TMDIChild::GuardButton(add, w->OwnAction);
  TMDIChild::GuardButton(save, w->FrameAction);
  TMDIChild::GuardButton(designHidden, w->FrameAction);

  // No rights: both disabled; the hide-without-right action hides its buttons.
  EXPECT_FALSE(add->isEnabled());
  EXPECT_FALSE(add->isHidden());
  EXPECT_FALSE(save->isEnabled());
  EXPECT_TRUE(save->isHidden());
  EXPECT_TRUE(exit->isEnabled());
  EXPECT_THROW(w->RequireRight(w->FrameAction), ETJItemException);
  try {
    w->RequireRight(w->OwnAction);
    ADD_FAILURE() << "a missing right must be refused";
  } catch (const ETJItemException& e) {
    EXPECT_EQ(e.Message(), "您没有“增加”的权限（功能号 TJXT201001），请与管理员联系！");
  }

  // The right arrives: the guarded button comes back, the design-hidden one does not.
  host.User.Rights = {{"TJXT201004"}};
  w->ApplyPermissions();
  EXPECT_TRUE(save->isEnabled());
  EXPECT_FALSE(save->isHidden());
  EXPECT_TRUE(designHidden->isHidden());
  EXPECT_FALSE(add->isEnabled());
  EXPECT_NO_THROW(w->RequireRight(w->FrameAction));

  // The super user holds everything.
  host.User.UserName = "CHIEF";
  w->ApplyPermissions();
  EXPECT_TRUE(add->isEnabled());
  EXPECT_NO_THROW(w->RequireRight(w->OwnAction));
}

TEST_F(TMDIChildTest, ErrorInHandlerReachesApplicationAndWindowStaysOpen) {
  RecordingApplication app;
  SetCurrentApplication(&app);
  TestWindow* w = Open();
  int steps = 0;
  w->OnButton = [&] {
    ++steps;
    throw ETJItemException("项目名称不能为空！");
  };
  QTest::mouseClick(w->Button, Qt::LeftButton);
  SetCurrentApplication(nullptr);
  EXPECT_EQ(steps, 1);
  EXPECT_EQ(app.Shown, (std::vector<std::string>{"项目名称不能为空！"}));
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(host.Area()->subWindowList().size(), 1);
}

TEST_F(TMDIChildTest, LibraryApplicationShowsErrorsThroughThePromptService) {
  TPromptService::Reset();
  TestWindow* w = Open();
  w->OnButton = [] { throw EDBException("No Available DB Connection"); };
  QTest::mouseClick(w->Button, Qt::LeftButton);
  ASSERT_EQ(TPromptService::History().size(), 1u);
  EXPECT_EQ(TPromptService::History()[0].Kind, TPromptKind::Error);
  EXPECT_EQ(TPromptService::History()[0].Text, QStringLiteral("No Available DB Connection"));
}

TEST_F(TMDIChildTest, ErrorDuringCreationPropagatesAndLeavesNoWindow) {
  EXPECT_THROW(TMDIChild::Construct<FailingWindow>(&host), EDBException);
  ProcessPendingEvents();
  EXPECT_TRUE(host.Area()->subWindowList().isEmpty());
  EXPECT_EQ(host.Names(), (Names{"create", "destroy"}));
  EXPECT_EQ(host.RefCount, 0);
}

TEST_F(TMDIChildTest, OwnerOutsideAnMdiAreaOwnsTheWindow) {
  QWidget owner;
  host.OwnerOverride = &owner;
  TestWindow* w = Open();
  EXPECT_EQ(w->SubWindow(), nullptr);
  EXPECT_EQ(w->parentWidget(), &owner);
  host.Clear();
  w->close();
  ProcessPendingEvents();
  EXPECT_EQ(host.Names(), (Names{"close", "destroy"}));
}

TEST(TMDIChildWithoutHost, ConstructionNeedsTheHost) {
  EXPECT_THROW(TestWindow(nullptr, nullptr), Exception);
}

// A command waits for the database under a busy cursor; when the database
// layer reports a long wait a line over the window says which window and
// command wait, and a question asked meanwhile shows the arrow. Afterwards
// both are gone, also when the command fails.
TEST_F(TMDIChildTest, ACommandWaitsUnderABusyCursorAndSaysWhatFor) {
  TPromptService::Reset();
  TWaitIndicator::SetMessageDelay(std::chrono::milliseconds(0));
  TestWindow* w = Open();
  w->setWindowTitle(QStringLiteral("试管类型"));
  auto* save = new QPushButton(QStringLiteral("保存(&S)"), w);
  Qt::CursorShape during = Qt::ArrowCursor, asking = Qt::WaitCursor;
  QString said;
  bool fail = false;
  w->AddCommand(save, nullptr, [&] {
    during = QApplication::overrideCursor()->shape();
    CallWaitHook();  // what the database layer does while it waits
    if (QLabel* line = TWaitIndicator::Message()) said = line->text();
    TPromptService::Confirm(w, QStringLiteral("提示"), QStringLiteral("?"));
    if (fail) throw EDBException("x");
  });
  TPromptService::SetScripted(false);
  QTimer::singleShot(0, [&] {
    asking = QApplication::overrideCursor()->shape();
    if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) box->reject();
  });
  w->RunCommand(save);
  TPromptService::SetScripted(true);
  EXPECT_EQ(during, Qt::WaitCursor);
  EXPECT_EQ(asking, Qt::ArrowCursor);
  EXPECT_EQ(said, QStringLiteral("正在等待数据库：试管类型：保存，请稍候……"));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(TWaitIndicator::Message(), nullptr);
  EXPECT_TRUE(w->findChildren<QLabel*>(QStringLiteral("WaitMessage")).isEmpty());
  fail = true;
  EXPECT_THROW(w->RunCommand(save), EDBException);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  TWaitIndicator::SetMessageDelay(std::chrono::milliseconds(3000));
}
