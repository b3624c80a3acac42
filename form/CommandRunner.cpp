#include "form/CommandRunner.h"

#include "core/Cp932.h"
#include "document/CaretMoves.h"
#include "input/EditCommands.h"

namespace velkor {

CommandRunner::CommandRunner(ProgramState& state, Ports ports, Journal& journal, TextEdits& edits, Documents& documents,
                             Selection& selection)
    : state_(state), p_(ports), journal_(journal), edits_(edits), docs_(documents), selection_(selection) {
  BindEditing();
  BindDocuments();
  BindBoard();
}

void CommandRunner::Bind(Command command, std::function<void(CommandSource)> run, std::function<bool()> enabled) {
  bindings_[static_cast<std::size_t>(command)] = {std::move(run), std::move(enabled)};
}

void CommandRunner::Run(Command command, CommandSource source) {
  const Binding& binding = bindings_[static_cast<std::size_t>(command)];
  if (binding.run) binding.run(source);
}

bool CommandRunner::Enabled(Command command) const {
  const Binding& binding = bindings_[static_cast<std::size_t>(command)];
  return !binding.enabled || binding.enabled();
}

bool CommandRunner::HasText(const char* nothingMessage) {
  if (caret::LineCount(p_.memMain.Text()) > 0) return true;
  docs_.Message(cp932::FromUtf8(nothingMessage));
  return false;
}

void CommandRunner::BindEditing() {
  IEditArea& edit = p_.memMain;
  Bind(Command::NewLine, [this](CommandSource) { selection_.InsertText("\r\n"); });
  Bind(Command::Blank, [this](CommandSource) { selection_.InsertText(" "); });
  for (const Command move : {Command::Left, Command::Right, Command::Up, Command::Down})
    Bind(move, [&edit, move](CommandSource) { MoveCaret(edit, move); });
  for (const Command erase : {Command::Delete, Command::BackSpace})
    Bind(erase, [this, &edit, erase](CommandSource) { DeleteCharacter(edit, edits_, erase); });
  // Undo and redo are always enabled: an undo at the first entry still acts,
  // it lets the next change pass unrecorded.
  Bind(Command::Undo, [this](CommandSource) { journal_.Undo(); });
  Bind(Command::Redo, [this](CommandSource) { journal_.Redo(); });
  Bind(Command::Find, [this](CommandSource) { p_.window.ShowSearchDialog(false); });
  Bind(Command::Replace, [this](CommandSource) { p_.window.ShowSearchDialog(true); });
  Bind(Command::Convert, [this](CommandSource) { selection_.StartConversion(); });
  Bind(Command::Modifier, [this, &edit](CommandSource) {
    if (!CycleVariantBeforeCaret(edit, edits_, state_.defaultBoardList))
      docs_.Message(cp932::FromUtf8("直前の文字は濁点・小文字・カタカナに切り替えられません"));
  });
  Bind(Command::Speak, [this](CommandSource) { selection_.Speak(); });
}

void CommandRunner::BindDocuments() {
  // The menu's items ask and use the file dialogs; the board's cells choose
  // a slot instead, and outside click mode a new document is an empty slot.
  Bind(Command::New, [this](CommandSource source) {
    if (source == CommandSource::Menu || ClickModeOn(state_.settings)) {
      docs_.ActFileNewExecute();
    } else {
      selection_.ChooseSlotFor(Command::Open);
    }
  });
  Bind(Command::Open, [this](CommandSource source) {
    source == CommandSource::Menu ? docs_.ActFileOpenExecute() : selection_.ChooseSlotFor(Command::Open);
  });
  Bind(
      Command::Save,
      [this](CommandSource source) {
        if (source == CommandSource::Menu) return docs_.ActFileSaveExecute();
        if (!HasText("保存するデータがありません")) return;
        if (!state_.curFileName.empty()) {
          docs_.SaveDocument(state_.curFileName);
        } else {
          selection_.ChooseSlotFor(Command::Save);
        }
      },
      [this] { return state_.saveEnabled; });
  Bind(Command::SaveAs, [this](CommandSource source) {
    if (source == CommandSource::Menu) return docs_.ActFileAddExecute();
    if (HasText("保存するデータがありません")) selection_.ChooseSlotFor(Command::SaveAs);
  });
  Bind(Command::Print, [this](CommandSource source) {
    if (source == CommandSource::Menu) return docs_.ActFilePrintExecute();
    if (HasText("印刷するデータがありません")) docs_.PrintText(p_.memMain.Text());
  });
  Bind(Command::Quit, [this](CommandSource) { p_.window.RequestClose(); });
}

void CommandRunner::BindBoard() {
  Bind(Command::PrevTab, [this](CommandSource) { selection_.SwitchTab(-1); });
  Bind(Command::NextTab, [this](CommandSource) { selection_.SwitchTab(+1); });
  Bind(Command::CancelSlot, [this](CommandSource) { selection_.CancelSlotChoice(); });
  Bind(Command::Settings, [this](CommandSource) { selection_.ShowSettingsBoard(); });
}

}  // namespace velkor
