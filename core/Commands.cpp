#include "core/Commands.h"

#include <array>

namespace velkor {
namespace {

using status::kBlue;
using status::kRed;
using I = CommandImage;

// clang-format off
constexpr std::array<CommandEntry, kCommandCount> kCommands = {{
    {Command::NewLine,    "改~", 6, 1,  "改行",                   kBlue, "", "", "", I::None, "\r\n", Again::WithSetting, false, ""},
    {Command::Left,       "←~", 6, 2,  "左にキャレットを移動",   kBlue, "", "", "", I::None, "", Again::WithSetting, false, ""},
    {Command::Right,      "→~", 6, 3,  "右にキャレットを移動",   kBlue, "", "", "", I::None, "", Again::WithSetting, false, ""},
    {Command::Up,         "↑~", 6, 4,  "上にキャレットを移動",   kBlue, "", "", "", I::None, "", Again::WithSetting, false, ""},
    {Command::Down,       "↓~", 6, 5,  "下にキャレットを移動",   kBlue, "", "", "", I::None, "", Again::WithSetting, false, ""},
    {Command::Blank,      "挿~", 6, 6,  "１文字挿入",             kBlue, "", "", "", I::None, " ", Again::WithSetting, false, ""},
    {Command::Delete,     "削~", 6, 7,  "１文字削除",             kBlue, "", "", "", I::None, "", Again::WithSetting, false, ""},
    {Command::BackSpace,  "BS~", 6, 8,  "直前の１文字削除",       kBlue, "", "", "", I::None, "", Again::WithSetting, false, ""},
    {Command::Undo,       "戻",  6, 9,  "元に戻す",               kBlue, "ActEditUndo", "元に戻す(&U)", "元に戻す", I::Undo, "", Again::WithSetting, false, ""},
    {Command::Redo,       "直",  6, 10, "元に戻すをやり直す",     kBlue, "ActEditRedo", "やり直す(&R)", "やり直す", I::Redo, "", Again::WithSetting, false, ""},
    {Command::PrevTab,    "《~", 7, 1,  "文字盤のタブを替える",   kRed,  "", "", "", I::None, "", Again::Never, false, ""},
    {Command::NextTab,    "》~", 7, 2,  "文字盤のタブを替える",   kRed,  "", "", "", I::None, "", Again::Never, false, ""},
    {Command::New,        "新~", 7, 3,  "新しいファイル",         kRed,  "ActFileNew", "新規作成(&N)", "新規作成", I::New, "", Again::Never, true, ""},
    {Command::Open,       "開~", 7, 4,  "ファイルを開く",         kRed,  "ActFileOpen", "開く(&O)", "開く", I::Open, "", Again::Never, true, ""},
    {Command::Save,       "書~", 7, 5,  "開いたファイルを保存する", kRed, "ActFileSave", "上書き保存(&S)", "上書き保存", I::Save, "", Again::Never, true, ""},
    {Command::SaveAs,     "名~", 7, 6,  "名前を付けて保存する",   kRed,  "ActFileAdd", "名前を付けて保存(&A)", "名前を付けて保存", I::SaveAs, "", Again::Never, true, ""},
    {Command::Print,      "印~", 7, 7,  "印刷する",               kRed,  "ActFilePrint", "印刷(&P)", "印刷", I::Print, "", Again::Never, true, "もう一度で印刷"},
    {Command::Quit,       "終~", 7, 8,  "終了する",               kRed,  "MnuFileQuit", "終了(&X)", "", I::None, "", Again::Never, true, "もう一度で終了"},
    {Command::CancelSlot, "☆~", 0, 0,  "キャンセル",             kBlue, "", "", "", I::None, "", Again::Never, false, ""},
    {Command::Convert,    "変~", 6, 11, "漢字に変換",             kBlue, "", "", "", I::None, "", Again::Never, false, ""},
    {Command::Speak,      "話~", 6, 12, "読み上げる",             kBlue, "", "", "", I::None, "", Again::Never, false, ""},
    {Command::Find,       "",    0, 0,  "",                       kBlue, "ActSerFind", "検索(&F)", "検索", I::Find, "", Again::Never, false, ""},
    {Command::Replace,    "",    0, 0,  "",                       kBlue, "ActSerRep", "置換(&R)", "置換", I::Replace, "", Again::Never, false, ""},
    {Command::Modifier,   "゛~", 6, 13, "濁点・小文字・カタカナに切り替え", kBlue, "", "", "", I::None, "", Again::OnResting, false, ""},
    {Command::Pause,      "休~", 7, 9,  "入力を休止",             kBlue, "", "", "", I::None, "", Again::Never, false, ""},
    {Command::Settings,   "設~", 7, 10, "設定を変える",           kBlue, "", "", "", I::None, "", Again::Never, false, ""},
}};
// clang-format on

constexpr bool InEnumOrder() {
  for (int i = 0; i < kCommandCount; ++i)
    if (static_cast<int>(kCommands[static_cast<std::size_t>(i)].id) != i) return false;
  return true;
}
static_assert(InEnumOrder(), "the command table follows the order of the enum");

}  // namespace

std::span<const CommandEntry, kCommandCount> AllCommands() { return kCommands; }

const CommandEntry& EntryOf(Command command) { return kCommands[static_cast<std::size_t>(command)]; }

}  // namespace velkor
