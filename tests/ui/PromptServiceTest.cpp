#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "TPromptService.h"
#include "TQtChineseText.h"

TEST(PromptService, ScriptedAnswersAreTakenInOrderAndRecorded) {
  TPromptService::Reset();
  TPromptService::SetNextAnswer(TPromptAnswer::Yes);
  TPromptService::SetNextAnswer(TPromptAnswer::No);
  EXPECT_TRUE(TPromptService::Confirm(nullptr, QStringLiteral("提示"), QStringLiteral("删除?")));
  EXPECT_FALSE(TPromptService::Confirm(nullptr, QStringLiteral("提示"), QStringLiteral("再删?")));
  // Nothing queued: scripted mode answers the safe default, No.
  EXPECT_FALSE(TPromptService::Confirm(nullptr, QStringLiteral("提示"), QStringLiteral("三删?")));
  ASSERT_EQ(TPromptService::History().size(), 3u);
  EXPECT_EQ(TPromptService::History()[1].Text, QStringLiteral("再删?"));
  EXPECT_EQ(TPromptService::History()[2].Answer, TPromptAnswer::No);
}

TEST(PromptService, DialogScriptCanFillTheDialog) {
  TPromptService::Reset();
  QDialog dialog;
  auto* edit = new QLineEdit(&dialog);
  TPromptService::SetNextDialog(TPromptAnswer::Accepted, [](QDialog* d) {
    d->findChild<QLineEdit*>()->setText(QStringLiteral("血糖"));
  });
  EXPECT_TRUE(TPromptService::ExecDialog(&dialog));
  EXPECT_EQ(edit->text(), QStringLiteral("血糖"));
  EXPECT_FALSE(TPromptService::ExecDialog(&dialog));  // default: rejected
}

namespace {

// Runs `act` on the message box once it is up (the test plays the person).
void OnNextBox(std::function<void(QMessageBox*)> act) {
  QTimer::singleShot(0, [act = std::move(act)] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    act(box);
  });
}

}  // namespace

TEST(PromptService, QuestionsOfferTheirButtonsAndDefaultToTheSafeAnswer) {
  TPromptService::Reset();
  const QString caption = QStringLiteral("提示"), text = QStringLiteral("是否删除试管。");
  auto ask = [&](TPromptButtons buttons) {
    return TPromptService::Ask(nullptr, TPromptKind::Information, caption, text, buttons);
  };
  // Scripted: a queued answer wins, otherwise the safe one.
  TPromptService::SetNextAnswer(TPromptAnswer::Yes);
  EXPECT_EQ(ask(TPromptButtons::YesNoCancel), TPromptAnswer::Yes);
  EXPECT_EQ(ask(TPromptButtons::YesNoCancel), TPromptAnswer::Cancel);
  EXPECT_EQ(ask(TPromptButtons::YesNo), TPromptAnswer::No);
  EXPECT_EQ(ask(TPromptButtons::OkCancel), TPromptAnswer::Cancel);
  ASSERT_EQ(TPromptService::History().size(), 4u);
  EXPECT_EQ(TPromptService::History()[0].Kind, TPromptKind::Information);
  EXPECT_EQ(TPromptService::History()[0].Text, text);

  // A person: the box shows the icon and the three buttons, Cancel first in
  // line for Enter; the button pressed is the answer.
  TPromptService::SetScripted(false);
  OnNextBox([](QMessageBox* box) {
    EXPECT_EQ(box->icon(), QMessageBox::Information);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Cancel));
    EXPECT_EQ(box->button(QMessageBox::Yes)->text(), QStringLiteral("是(&Y)"));
    EXPECT_EQ(box->button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));
    box->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(ask(TPromptButtons::YesNoCancel), TPromptAnswer::No);
  OnNextBox([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
  EXPECT_EQ(ask(TPromptButtons::YesNoCancel), TPromptAnswer::Cancel);
  OnNextBox([](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); });
  EXPECT_EQ(ask(TPromptButtons::OkCancel), TPromptAnswer::Ok);
  TPromptService::SetScripted(true);
  EXPECT_FALSE(TPromptService::History().back().Scripted);
}

// The dialogs Qt draws for the library (file and print dialogs) speak
// Chinese whether or not the host loaded Qt's translation, and the host's
// own language comes back afterwards. This program loads none.
TEST(QtChineseText, QtsOwnTextsAreChineseWhileTheLibraryShowsADialog) {
  auto cancelText = [] {
    QMessageBox box;
    return box.addButton(QMessageBox::Cancel)->text();
  };
  ASSERT_EQ(cancelText(), QStringLiteral("Cancel"));
  {
    const TQtChineseText chinese;
    EXPECT_TRUE(TQtChineseText::QtSpeaksChinese());
    EXPECT_EQ(cancelText(), QStringLiteral("取消"));
    const TQtChineseText nested;  // already Chinese: loads nothing more
  }
  EXPECT_FALSE(TQtChineseText::QtSpeaksChinese());
  EXPECT_EQ(cancelText(), QStringLiteral("Cancel"));
}
