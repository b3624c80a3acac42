#include "core/Commands.h"

#include <array>

namespace velkor {
namespace {

using status::kBlue;
using status::kRed;
using I = CommandImage;

// clang-format off
constexpr std::array<CommandEntry, kCommandCount> kCommands = {{
    {Command::NewLine,    "改~", 6, 1,  "改行",                   kBlue, "", "", "", I::None, "\r\n", Again::WithSetting, false, "", false},
    {Command::Left,       "←~", 6, 2,  "左にキャレットを移動",   kBlue, "", "", "", I::None, "", Again::WithSetting, false, "", false},
    {Command::Right,      "→~", 6, 3,  "右にキャレットを移動",   kBlue, "", "", "", I::None, "", Again::WithSetting, false, "", false},
    {Command::Up,         "↑~", 6, 4,  "上にキャレットを移動",   kBlue, "", "", "", I::None, "", Again::WithSetting, false, "", false},
    {Command::Down,       "↓~", 6, 5,  "下にキャレットを移動",   kBlue, "", "", "", I::None, "", Again::WithSetting, false, "", false},
    {Command::Blank,      "挿~", 6, 6,  "１文字挿入",             kBlue, "", "", "", I::None, " ", Again::WithSetting, false, "", false},
    {Command::Delete,     "削~", 6, 7,  "１文字削除",             kBlue, "", "", "", I::None, "", Again::WithSetting, false, "", false},
    {Command::BackSpace,  "BS~", 6, 8,  "直前の１文字削除",       kBlue, "", "", "", I::None, "", Again::WithSetting, false, "", false},
    {Command::Undo,       "戻",  6, 9,  "元に戻す",               kBlue, "ActEditUndo", "元に戻す(&U)", "元に戻す", I::Undo, "", Again::WithSetting, false, "", false},
    {Command::Redo,       "直",  6, 10, "元に戻すをやり直す",     kBlue, "ActEditRedo", "やり直す(&R)", "やり直す", I::Redo, "", Again::WithSetting, false, "", false},
    {Command::PrevTab,    "《~", 7, 1,  "文字盤のタブを替える",   kRed,  "", "", "", I::None, "", Again::Never, false, "", false},
    {Command::NextTab,    "》~", 7, 2,  "文字盤のタブを替える",   kRed,  "", "", "", I::None, "", Again::Never, false, "", false},
    {Command::New,        "新~", 7, 3,  "新しいファイル",         kRed,  "ActFileNew", "新規作成(&N)", "新規作成", I::New, "", Again::Never, true, "", false},
    {Command::Open,       "開~", 7, 4,  "ファイルを開く",         kRed,  "ActFileOpen", "開く(&O)", "開く", I::Open, "", Again::Never, true, "", false},
    {Command::Save,       "書~", 7, 5,  "開いたファイルを保存する", kRed, "ActFileSave", "上書き保存(&S)", "上書き保存", I::Save, "", Again::Never, true, "", false},
    {Command::SaveAs,     "名~", 7, 6,  "名前を付けて保存する",   kRed,  "ActFileAdd", "名前を付けて保存(&A)", "名前を付けて保存", I::SaveAs, "", Again::Never, true, "", false},
    {Command::Print,      "印~", 7, 7,  "印刷する",               kRed,  "ActFilePrint", "印刷(&P)", "印刷", I::Print, "", Again::Never, true, "もう一度で印刷", false},
    {Command::Quit,       "終~", 7, 8,  "終了する",               kRed,  "MnuFileQuit", "終了(&X)", "", I::None, "", Again::Never, true, "もう一度で終了", false},
    {Command::CancelSlot, "☆~", 0, 0,  "キャンセル",             kBlue, "", "", "", I::None, "", Again::Never, false, "", false},
    {Command::Convert,    "変~", 6, 11, "漢字に変換",             kBlue, "", "", "", I::None, "", Again::Never, false, "", false},
    {Command::Speak,      "話~", 6, 12, "読み上げる",             kBlue, "", "", "", I::None, "", Again::Never, false, "", false},
    {Command::Find,       "",    0, 0,  "",                       kBlue, "ActSerFind", "検索(&F)", "検索", I::Find, "", Again::Never, false, "", false},
    {Command::Replace,    "",    0, 0,  "",                       kBlue, "ActSerRep", "置換(&R)", "置換", I::Replace, "", Again::Never, false, "", false},
    {Command::Modifier,   "゛~", 6, 13, "濁点・小文字・カタカナに切り替え", kBlue, "", "", "", I::None, "", Again::OnResting, false, "", false},
    {Command::Pause,      "休~", 7, 9,  "入力を休止",             kBlue, "", "", "", I::None, "", Again::Never, false, "", false},
    {Command::Settings,   "設~", 7, 10, "設定を変える",           kBlue, "", "", "", I::None, "", Again::Never, false, "", false},
    {Command::CallBell,   "鈴~", 7, 11, "呼び出し音を鳴らす",     kRed,  "", "", "", I::None, "", Again::Never, false, "", false},
    {Command::Sentences,  "文~", 7, 12, "よく使う文",             kBlue, "", "", "", I::None, "", Again::Never, false, "", false},
    {Command::ForgetOne,  "忘~", 7, 13, "覚えた言葉を一つ消す",   kRed,  "", "", "", I::None, "", Again::Never, false, "", false},
    {Command::EditFont,   "", 0, 0, "", kBlue, "ActDspFont", "編集画面フォント設定(&F)", "編集フォント変更", I::EditFont, "", Again::Never, false, "", false},
    {Command::EditColour, "", 0, 0, "", kBlue, "MnuDspEclr", "編集画面の色設定(&B)", "", I::None, "", Again::Never, false, "", false},
    {Command::BoardFont,  "", 0, 0, "", kBlue, "ActDspMojiFont", "文字盤フォント設定(&M)", "文字盤フォント変更", I::BoardFont, "", Again::Never, false, "", false},
    {Command::BoardColour, "", 0, 0, "", kBlue, "MnuDspMclr", "文字盤の色設定(&C)", "", I::None, "", Again::Never, false, "", false},
    {Command::MirrorKana, "", 0, 0, "", kBlue, "MnuDspHira", "ひらがなを右から表示(&H)", "", I::None, "", Again::Never, false, "", true},
    {Command::WordWrap,   "", 0, 0, "", kBlue, "MnuWordWrap", "右端で折り返す(&W)", "", I::None, "", Again::Never, false, "", true},
    {Command::SpeechSettings, "", 0, 0, "", kBlue, "MnuDspSpeech", "読み上げの設定(&S)", "", I::None, "", Again::Never, false, "", false},
    {Command::Magnifier,  "", 0, 0, "", kBlue, "ActExeZoom", "「Velkor虫めがね」起動(&B)", "虫めがね", I::Zoom, "", Again::Never, false, "", false},
    {Command::Help,       "", 0, 0, "", kBlue, "MnuHelp", "ヘルプ(&H)", "", I::None, "", Again::Never, false, "", false},
    {Command::ModeClick,  "", 0, 0, "", kBlue, "MnuEditClick", "クリックで入力確定", "", I::None, "", Again::Never, false, "", true},
    {Command::ModeDwell,  "", 0, 0, "", kBlue, "MnuEditMouse", "マウス停止で入力確定", "", I::None, "", Again::Never, false, "", true},
    {Command::ModeDwell1, "", 0, 0, "", kBlue, "MnuEditM10", "１．０秒", "", I::None, "", Again::Never, false, "", true},
    {Command::ModeDwell2, "", 0, 0, "", kBlue, "MnuEditM20", "２．０秒", "", I::None, "", Again::Never, false, "", true},
    {Command::ModeDwell3, "", 0, 0, "", kBlue, "MnuEditM30", "３．０秒", "", I::None, "", Again::Never, false, "", true},
    {Command::ModeDwell4, "", 0, 0, "", kBlue, "MnuEditM40", "４．０秒", "", I::None, "", Again::Never, false, "", true},
    {Command::ModeDwell5, "", 0, 0, "", kBlue, "MnuEditM50", "５．０秒", "", I::None, "", Again::Never, false, "", true},
    {Command::ModeArrowKeys, "", 0, 0, "", kBlue, "MnuEditYa", "矢印で移動　KEYで入力確定", "", I::None, "", Again::Never, false, "", true},
    {Command::ShowPredictionRow, "", 0, 0, "", kBlue, "MnuPredictionRow", "予測の行を表示(&R)", "", I::None, "", Again::Never, false, "", true},
    {Command::QuickKana,  "", 0, 0, "", kBlue, "MnuQuickKana", "かなを一回で入力（゛~で濁点・小文字・カタカナ）(&K)", "", I::None, "", Again::Never, false, "", true},
    {Command::ForgetLearning, "", 0, 0, "", kBlue, "MnuForgetLearning", "学習した語と文をすべて忘れる(&F)...", "", I::None, "", Again::Never, false, "", false},
    {Command::LearnDocuments, "", 0, 0, "", kBlue, "MnuLearnDocuments", "文書から言葉を覚える", "", I::None, "", Again::Never, false, "", true},
}};
// clang-format on

constexpr bool InEnumOrder() {
  for (int i = 0; i < kCommandCount; ++i)
    if (static_cast<int>(kCommands[static_cast<std::size_t>(i)].id) != i) return false;
  return true;
}
static_assert(InEnumOrder(), "the command table follows the order of the enum");

using L = MenuLine;
using C = Command;

// clang-format off
constexpr MenuEntry kMainMenu[] = {
    {L::Menu, {}, "ファイル(&F)"},
    {L::Item, C::New}, {L::Separator, {}}, {L::Item, C::Open}, {L::RecentFiles, {}, "最近使ったファイル(&U)"},
    {L::Separator, {}}, {L::Item, C::Save}, {L::Item, C::SaveAs}, {L::Separator, {}}, {L::Item, C::Print},
    {L::Separator, {}}, {L::Item, C::Quit},
    {L::End, {}},
    {L::Menu, {}, "検索(&S)"}, {L::Item, C::Find}, {L::Item, C::Replace}, {L::End, {}},
    {L::Menu, {}, "編集(&E)"},
    {L::Item, C::Undo}, {L::Item, C::Redo}, {L::Separator, {}}, {L::Item, C::ModeClick},
    {L::Menu, C::ModeDwell},
    {L::Item, C::ModeDwell1}, {L::Item, C::ModeDwell2}, {L::Item, C::ModeDwell3}, {L::Item, C::ModeDwell4},
    {L::Item, C::ModeDwell5},
    {L::End, {}},
    {L::Item, C::ModeArrowKeys}, {L::Separator, {}},
    {L::Menu, {}, "予測と学習(&P)"},
    {L::Item, C::ShowPredictionRow}, {L::Item, C::QuickKana}, {L::Separator, {}}, {L::Item, C::LearnDocuments},
    {L::Item, C::ForgetLearning},
    {L::End, {}},
    {L::End, {}},
    {L::Menu, {}, "表示(&V)"},
    {L::Item, C::EditFont}, {L::Item, C::EditColour}, {L::Item, C::BoardFont}, {L::Item, C::BoardColour},
    {L::Separator, {}}, {L::Item, C::MirrorKana}, {L::Separator, {}}, {L::Item, C::WordWrap}, {L::Separator, {}},
    {L::Item, C::SpeechSettings}, {L::Separator, {}}, {L::Item, C::Magnifier},
    {L::End, {}},
    {L::Item, C::Help},
};

constexpr std::optional<Command> kToolbar[] = {
    C::New, C::Open, C::Save, C::SaveAs, C::Print, {}, C::Find, C::Replace, {}, C::EditFont, C::BoardFont, {},
    C::Magnifier, {}, C::Undo, C::Redo,
};
// clang-format on

}  // namespace

std::span<const MenuEntry> MainMenu() { return kMainMenu; }

std::span<const std::optional<Command>> Toolbar() { return kToolbar; }

std::span<const CommandEntry, kCommandCount> AllCommands() { return kCommands; }

const CommandEntry& EntryOf(Command command) { return kCommands[static_cast<std::size_t>(command)]; }

}  // namespace velkor
