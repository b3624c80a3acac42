#include "form/CommandRunner.h"

#include "core/Cp932.h"
#include "document/CaretMoves.h"
#include "input/EditCommands.h"

namespace velkor {

CommandRunner::CommandRunner(ProgramState& state, Ports ports, Parts parts, FormActions form)
    : state_(state), p_(ports), parts_(parts), form_(std::move(form)) {
  BindEditing();
  BindDocuments();
  BindBoard();
  BindView();
  BindModes();
}

void CommandRunner::Bind(Command command, std::function<void(CommandSource)> run, std::function<bool()> enabled,
                         std::function<bool()> checked) {
  bindings_[static_cast<std::size_t>(command)] = {std::move(run), std::move(enabled), std::move(checked)};
}

void CommandRunner::Run(Command command, CommandSource source) {
  const Binding& binding = bindings_[static_cast<std::size_t>(command)];
  if (binding.run && Enabled(command)) binding.run(source);
  Update();
}

bool CommandRunner::Enabled(Command command) const {
  const Binding& binding = bindings_[static_cast<std::size_t>(command)];
  return !binding.enabled || binding.enabled();
}

bool CommandRunner::Checked(Command command) const {
  const Binding& binding = bindings_[static_cast<std::size_t>(command)];
  return binding.checked && binding.checked();
}

void CommandRunner::Update() {
  bool boardChanged = false;
  for (const CommandEntry& entry : AllCommands()) {
    Shown& shown = shown_[static_cast<std::size_t>(entry.id)];
    const Shown now{true, Enabled(entry.id), Checked(entry.id)};
    if (shown.known && shown.enabled == now.enabled && shown.checked == now.checked) continue;
    if (*entry.action != '\0') p_.window.SetCommandState(entry.id, now.enabled, now.checked);
    if (entry.row != 0 && shown.enabled != now.enabled) boardChanged = true;
    shown = now;
  }
  // The board's cells of a command show its state as its menu item does.
  if (boardChanged) parts_.board.ShowCommandStates();
}

bool CommandRunner::HasText(const char* nothingMessage) {
  if (caret::LineCount(p_.memMain.Text()) > 0) return true;
  parts_.documents.Message(cp932::FromUtf8(nothingMessage));
  return false;
}

void CommandRunner::BindEditing() {
  IEditArea& edit = p_.memMain;
  for (const Command writes : {Command::NewLine, Command::Blank})
    Bind(writes, [this, writes](CommandSource) { parts_.selection.InsertText(EntryOf(writes).inserts); });
  for (const Command move : {Command::Left, Command::Right, Command::Up, Command::Down})
    Bind(move, [&edit, move](CommandSource) { MoveCaret(edit, move); });
  for (const Command erase : {Command::Delete, Command::BackSpace})
    Bind(erase, [this, &edit, erase](CommandSource) { DeleteCharacter(edit, parts_.edits, erase); });
  // Undo and redo are always enabled: an undo at the first entry still acts,
  // it lets the next change pass unrecorded.
  Bind(Command::Undo, [this](CommandSource) { parts_.journal.Undo(); });
  Bind(Command::Redo, [this](CommandSource) { parts_.journal.Redo(); });
  Bind(Command::Find, [this](CommandSource) { p_.window.ShowSearchDialog(false); });
  Bind(Command::Replace, [this](CommandSource) { p_.window.ShowSearchDialog(true); });
  Bind(Command::Convert, [this](CommandSource) { parts_.selection.StartConversion(); });
  Bind(Command::Modifier, [this, &edit](CommandSource) {
    if (!CycleVariantBeforeCaret(edit, parts_.edits, state_.defaultBoardList))
      parts_.documents.Message(cp932::FromUtf8("直前の文字は濁点・小文字・カタカナに切り替えられません"));
  });
  Bind(Command::Speak, [this](CommandSource) { parts_.readAloud.Speak(); });
}

void CommandRunner::BindDocuments() {
  // The menu's items ask and use the file dialogs; the board's cells choose
  // a slot instead, and outside click mode a new document is an empty slot.
  Bind(Command::New, [this](CommandSource source) {
    if (source == CommandSource::Menu || ClickModeOn(state_.settings)) {
      parts_.documents.ActFileNewExecute();
    } else {
      parts_.slotBoard.Show(Command::New);
    }
  });
  Bind(Command::Open, [this](CommandSource source) {
    source == CommandSource::Menu ? parts_.documents.ActFileOpenExecute() : parts_.slotBoard.Show(Command::Open);
  });
  Bind(
      Command::Save,
      [this](CommandSource source) {
        if (source == CommandSource::Menu) return parts_.documents.ActFileSaveExecute();
        if (!HasText("保存するデータがありません")) return;
        if (!state_.curFileName.empty()) {
          parts_.documents.SaveDocument(state_.curFileName);
        } else {
          parts_.slotBoard.Show(Command::Save);
        }
      },
      [this] { return state_.saveEnabled; });
  Bind(Command::SaveAs, [this](CommandSource source) {
    if (source == CommandSource::Menu) return parts_.documents.ActFileAddExecute();
    if (HasText("保存するデータがありません")) parts_.slotBoard.Show(Command::SaveAs);
  });
  Bind(Command::Print, [this](CommandSource source) {
    if (source == CommandSource::Menu) return parts_.documents.ActFilePrintExecute();
    if (HasText("印刷するデータがありません")) parts_.documents.PrintText(p_.memMain.Text());
  });
  Bind(Command::Quit, [this](CommandSource) { p_.window.RequestClose(); });
}

void CommandRunner::BindView() {
  BoardDisplay& board = parts_.board;
  Bind(Command::EditFont, [this](CommandSource) { parts_.edit.ActDspFontExecute(); });
  Bind(Command::EditColour, [&board](CommandSource) { board.MnuDspEclrClick(BoardDisplay::ColourTarget::EditArea); });
  Bind(Command::BoardFont, [&board](CommandSource) { board.ActDspMojiFontExecute(); });
  Bind(Command::BoardColour, [&board](CommandSource) { board.MnuDspEclrClick(BoardDisplay::ColourTarget::Board); });
  Bind(
      Command::MirrorKana, [&board](CommandSource) { board.MnuDspHiraClick(); }, {},
      [this] { return state_.settings.Option(option::kKanaMirroring) != "0"; });
  Bind(
      Command::WordWrap, [this](CommandSource) { parts_.edit.MnuWordWrapClick(); }, {},
      [this] { return state_.settings.Option(option::kWordWrap) != "0"; });
  Bind(Command::SpeechSettings, [this](CommandSource) { form_.speechSettings(); });
  Bind(Command::Magnifier, [this](CommandSource) { form_.magnifier(); });
  Bind(Command::Help, [this](CommandSource) { form_.help(); });
  Bind(
      Command::ShowPredictionRow,
      [this](CommandSource) { form_.showPredictionRow(state_.settings.PredictionCells() == 0); }, {},
      [this] { return state_.settings.PredictionCells() > 0; });
  Bind(
      Command::QuickKana, [this](CommandSource) { form_.quickKana(!state_.settings.QuickKana()); }, {},
      [this] { return state_.settings.QuickKana(); });
  Bind(Command::ForgetLearning, [this](CommandSource) { form_.forgetLearning(); });
  Bind(
      Command::LearnDocuments, [this](CommandSource) { form_.learnDocuments(); }, {},
      [this] { return form_.learningDocuments(); });
}

void CommandRunner::BindModes() {
  InputModes& modes = parts_.modes;
  const auto ticked = [&modes](Command item) { return [&modes, item] { return modes.Ticked(item); }; };
  Bind(
      Command::ModeClick, [&modes](CommandSource) { modes.MnuEditClickClick(); }, {}, ticked(Command::ModeClick));
  // The dwell item only opens its submenu of times.
  Bind(
      Command::ModeDwell, [](CommandSource) {}, {}, ticked(Command::ModeDwell));
  const std::pair<Command, void (InputModes::*)()> dwellTimes[] = {
      {Command::ModeDwell1, &InputModes::MnuEditM10Click}, {Command::ModeDwell2, &InputModes::MnuEditM20Click},
      {Command::ModeDwell3, &InputModes::MnuEditM30Click}, {Command::ModeDwell4, &InputModes::MnuEditM40Click},
      {Command::ModeDwell5, &InputModes::MnuEditM50Click},
  };
  for (const auto& [command, choose] : dwellTimes) {
    Bind(
        command, [&modes, choose = choose](CommandSource) { (modes.*choose)(); }, {}, ticked(command));
  }
  Bind(
      Command::ModeArrowKeys, [&modes](CommandSource) { modes.MnuEditYaClick(); }, {}, ticked(Command::ModeArrowKeys));
}

void CommandRunner::BindBoard() {
  Bind(Command::PrevTab, [this](CommandSource) { parts_.board.SwitchTab(-1); });
  Bind(Command::NextTab, [this](CommandSource) { parts_.board.SwitchTab(+1); });
  Bind(Command::CancelSlot, [this](CommandSource) { parts_.slotBoard.Cancel(); });
  Bind(Command::Settings, [this](CommandSource) {
    parts_.selection.LeaveList();
    parts_.settings.Show();
  });
  Bind(Command::Pause, [this](CommandSource) { parts_.selection.TogglePause(); });
  Bind(Command::CallBell, [this](CommandSource) { parts_.bell.Toggle(); });
  Bind(Command::Sentences, [this](CommandSource) {
    parts_.selection.LeaveList();
    parts_.sentences.Show();
  });
  // Forgetting needs the row to choose on; once armed it can always be
  // given up.
  Bind(
      Command::ForgetOne, [this](CommandSource) { parts_.selection.ToggleForgetting(); },
      [this] { return state_.settings.PredictionCells() > 0 || parts_.selection.Forgetting(); });
}

}  // namespace velkor
