#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>

#include "TPromptService.h"

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
