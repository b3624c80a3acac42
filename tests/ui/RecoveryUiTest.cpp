// Unsaved work through the real window and real files: a close in dwell mode
// keeps the text in a slot, and a copy left by a crash reaches a slot at the
// next start, which says so on the status line.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "core/Cp932.h"
#include "tests/ui/WindowFixture.h"

namespace velkor::testing {
namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(RecoveryUi, ACloseInDwellModeKeepsTheTextInASlotAndTheNextStartSaysWhere) {
  WindowFixture fixture;
  fixture.Store("Option", QStringLiteral("0,2,0,1,0,0,0,0,0,0"));
  {
    ui::MainWindow& window = fixture.Start();
    window.MemMain()->insertPlainText(QStringLiteral("薬の時間です。\nabc"));
    ASSERT_TRUE(window.close());
  }
  const QString slot = fixture.Root() + QStringLiteral("/prog/Data/文書00.txt");
  EXPECT_EQ(ReadAll(slot).toStdString(), cp932::FromUtf8("薬の時間です。\r\nabc"));

  ui::MainWindow& next = fixture.Start();
  EXPECT_EQ(cp932::ToUtf8(next.PnlMsg()->Message()), "未保存の文書を文書00.txt に保存しました");
  EXPECT_TRUE(next.MemMain()->toPlainText().isEmpty());
  EXPECT_TRUE(next.close());
}

TEST(RecoveryUi, ACopyLeftByACrashGoesIntoTheLowestEmptySlot) {
  WindowFixture fixture;
  fixture.Store("Option", QStringLiteral("0,0,1,1,0,0,0,0,0,0"));
  QDir().mkpath(fixture.Root() + QStringLiteral("/prog/Data"));
  QFile taken(fixture.Root() + QStringLiteral("/prog/Data/文書00.txt"));
  ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
  taken.write("kept");
  taken.close();
  QFile copy(fixture.Root() + QStringLiteral("/prog/Data/.unsaved.txt"));
  ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
  copy.write(QByteArray::fromStdString(cp932::FromUtf8("呼んでください")));
  copy.close();

  ui::MainWindow& window = fixture.Start();
  EXPECT_EQ(ReadAll(fixture.Root() + QStringLiteral("/prog/Data/文書01.txt")).toStdString(),
            cp932::FromUtf8("呼んでください"));
  EXPECT_EQ(ReadAll(fixture.Root() + QStringLiteral("/prog/Data/文書00.txt")), QByteArray("kept"));
  EXPECT_FALSE(QFile::exists(fixture.Root() + QStringLiteral("/prog/Data/.unsaved.txt")));
  EXPECT_EQ(cp932::ToUtf8(window.PnlMsg()->Message()), "未保存の文書を文書01.txt に保存しました");
  EXPECT_TRUE(window.close());
}

}  // namespace
}  // namespace velkor::testing
