#include "input/Selection.h"

#include "board/BoardModel.h"
#include "core/Cp932.h"
#include "core/InputMode.h"
#include "input/EditCommands.h"

namespace velkor {

namespace {

using cp932::Sj;

std::string Quoted(const std::string& text) { return Sj("「") + text + Sj("」を入力"); }

// The command a board cell runs at once: its own, or that of its first
// variant when that one is never offered in a list (the documents, quitting).
std::optional<Command> AtOnce(const BoardCell& cell) {
  if (cell.variants.size() < 2) return cell.command;
  const auto first = board::CommandOfText(cell.variants.front());
  if (first && EntryOf(*first).atOnce) return first;
  return std::nullopt;
}

}  // namespace

Selection::Selection(ProgramState& state, Ports ports, Places places, EditView& edit, TextEdits& edits,
                     ICommands& commands)
    : state_(state), p_(ports), places_(places), edit_(edit), edits_(edits), commands_(commands) {}

Place Selection::Face() const {
  switch (places_.board.Face()) {
    case BoardFace::Slots: return Place::SlotBoard;
    case BoardFace::Settings: return Place::SettingsBoard;
    case BoardFace::Start: return Place::Start;
    case BoardFace::Sentences: return Place::Sentences;
    case BoardFace::Board: break;
  }
  return Place::Board;
}

bool Selection::Offers(const Target& t) const {
  if (!t.OnCell()) return false;
  switch (t.place) {
    case Place::List: return !places_.lists.CellText(t.cell).empty();
    // The row belongs to the board's own face: over the slot and settings
    // boards it offers nothing.
    case Place::Row: {
      const auto& candidates = places_.row.Offer().candidates;
      return Face() == Place::Board && t.cell.row == 0 && static_cast<std::size_t>(t.cell.col) < candidates.size();
    }
    // Every cell of the slot board is a slot or ☆~.
    case Place::SlotBoard:
      return Face() == t.place && t.cell.col >= 1 && t.cell.col <= board::kContentCols && t.cell.row >= 1 &&
             t.cell.row <= board::kLastCommandRow;
    case Place::SettingsBoard: return Face() == t.place && places_.settings.CellAt(t.cell.col, t.cell.row).has_value();
    case Place::Start: return Face() == t.place && !places_.start.Caption(t.cell.col, t.cell.row).empty();
    case Place::Sentences:
      return Face() == t.place && (places_.sentences.Leaves(t.cell.col, t.cell.row) ||
                                   !places_.sentences.SentenceAt(t.cell.col, t.cell.row).empty());
    case Place::Board: {
      if (Face() != t.place) return false;
      const BoardCell cell = places_.board.CellAt(t.cell.col, t.cell.row);
      // A command that cannot run now is shown greyed and offers nothing.
      const auto command = AtOnce(cell);
      return !cell.text.empty() && (!command || commands_.Enabled(*command));
    }
  }
  return false;
}

bool Selection::Suspended(const Target& t) const {
  // The start face sets the program up: a pause does not reach it.
  if (!paused_ || t.place == Place::Start) return false;
  // 休~ goes on; 鈴~ calls for help, which a pause never holds back.
  if (t.place != Place::Board) return true;
  const auto command = places_.board.CellAt(t.cell.col, t.cell.row).command;
  return command != Command::Pause && command != Command::CallBell;
}

Again Selection::RepeatOf(const Target& t) const {
  if (t.place != Place::Board || Face() != Place::Board || ListShown() || paused_) return Again::Never;
  const BoardCell cell = places_.board.CellAt(t.cell.col, t.cell.row);
  if (cell.text.empty()) return Again::Never;
  if (const auto command = AtOnce(cell)) return EntryOf(*command).again;
  // A character cell writes: it repeats with the setting; a group cell opens
  // its list, which is no repetition.
  return cell.variants.size() < 2 || state_.settings.QuickKana() ? Again::WithSetting : Again::Never;
}

// ---------------------------------------------------------------- describing

StatusText Selection::BoardCellStatus(CellPos at) const {
  if (const auto command = places_.board.CellAt(at.col, at.row).command) {
    const std::string askTwice = Sj(EntryOf(*command).askTwice);
    if (ArmedOn({Place::Board, at}, askTwice)) return {askTwice, status::kRed};
  }
  const BoardCell cell = places_.board.CellAt(at.col, at.row);
  if (cell.text.empty()) return {"", status::kBlack};
  if (const auto command = AtOnce(cell)) {
    const CommandEntry& entry = EntryOf(*command);
    if (!commands_.Enabled(*command)) return {Sj(entry.status) + Sj("（今は使えません）"), entry.colour};
    if (command == Command::Pause && paused_) return {Sj("入力を再開"), entry.colour};
    if (command == Command::Modifier) {
      // The form the character before the caret will take.
      if (const auto next = NextVariantBeforeCaret(p_.memMain, state_.defaultBoardList)) {
        return {*next + Sj(" にする"), entry.colour};
      }
    }
    return {Sj(entry.status), entry.colour};
  }
  // With one selection a kana, a kana cell writes its first variant, and the
  // status line says so.
  if (state_.settings.QuickKana() && cell.variants.size() >= 2 && IsKana(cell.variants.front())) {
    return {Quoted(cell.variants.front()), status::kBlack};
  }
  return {Quoted(cell.text), status::kBlack};
}

StatusText Selection::Describe(const Target& t) const {
  if (EndsForgetting(t) && Offers(t)) return {Sj("消すのをやめる"), status::kRed};
  // A greyed command cell says why it offers nothing.
  if (t.place == Place::Board && Face() == Place::Board && t.OnCell()) return BoardCellStatus(t.cell);
  if (!Offers(t)) return {"", status::kBlack};
  switch (t.place) {
    case Place::Board: return BoardCellStatus(t.cell);
    case Place::SlotBoard:
      if (ArmedOn(t, AskTwiceOfSlot(t.cell))) return {AskTwiceOfSlot(t.cell), status::kRed};
      return places_.slotBoard.Describe(t.cell);
    case Place::SettingsBoard: return places_.settings.Status(t.cell.col, t.cell.row);
    case Place::Start: return places_.start.Status(t.cell.col, t.cell.row);
    case Place::Sentences: return places_.sentences.Status(t.cell.col, t.cell.row);
    case Place::List: return places_.lists.Describe(t.cell);
    case Place::Row: return RowCellStatus(t.cell.col);
  }
  return {"", status::kBlack};
}

StatusText Selection::RowCellStatus(int cell) const {
  const std::string& candidate = places_.row.Offer().candidates[static_cast<std::size_t>(cell)];
  // A cell left empty between candidates writes nothing.
  if (candidate.empty()) return {"", status::kBlack};
  if (!forgetting_) return {Quoted(candidate), status::kBlack};
  if (places_.row.LearnedText(cell).empty())
    return {Sj("「") + candidate + Sj("」は覚えた言葉ではありません"), status::kBlack};
  if (forgetAsked_ && *forgetAsked_ == std::make_pair(cell, candidate))
    return {Sj("もう一度で「") + candidate + Sj("」を消す"), status::kRed};
  return {Sj("「") + candidate + Sj("」を覚えた言葉から消す"), status::kRed};
}

void Selection::Point(const Target& t) {
  // Pointing on the start face is input: its scan highlight waits again.
  if (t.place == Place::Start) places_.start.Input();
  const StatusText status = Describe(t);
  p_.pnlMsg.SetText(status.text, status.colour);
  p_.memMain.SetFocus();
  edit_.ShowBlockCaret();
}

// ---------------------------------------------------------------- confirming

void Selection::Confirm(const Target& t) {
  if (!Offers(t)) return;
  if (Suspended(t)) {
    p_.pnlMsg.SetMessage(Sj("休止中"));
    return;
  }
  // A message stays until the next confirmation.
  p_.pnlMsg.SetMessage("");
  if (t.place != Place::Row) forgetAsked_.reset();
  if (EndsForgetting(t)) {
    Disarm();
    StopForgetting();
    Finish();
    return;
  }
  // The call bell rings as always; anything else gives forgetting up too.
  if (forgetting_ && t.place != Place::Row) StopForgetting();
  switch (t.place) {
    case Place::Board: ConfirmBoardCell(t.cell); break;
    case Place::List:
      Disarm();
      ChooseListCell(t.cell);
      break;
    case Place::Row:
      Disarm();
      if (forgetting_) {
        ForgetRowCell(t.cell.col);
      } else {
        ChooseRowCell(t.cell.col);
      }
      break;
    case Place::SlotBoard:
      if (ArmedFirst(t, AskTwiceOfSlot(t.cell))) break;
      places_.slotBoard.Choose(t.cell);
      break;
    case Place::SettingsBoard:
      Disarm();
      places_.lists.Hide();
      places_.settings.Choose(t.cell.col, t.cell.row);
      break;
    case Place::Start:
      Disarm();
      places_.start.Choose(t.cell.col, t.cell.row);
      break;
    case Place::Sentences: {
      Disarm();
      // Read aloud; written at the caret too when the setting says so.
      const std::string written = places_.sentences.Choose(t.cell.col, t.cell.row);
      if (!written.empty()) InsertText(written);
      break;
    }
  }
  Finish();
}

void Selection::ConfirmBoardCell(CellPos at) {
  const BoardCell cell = places_.board.CellAt(at.col, at.row);
  if (ArmedFirst({Place::Board, at}, AskTwiceOf(cell))) return;
  // Any confirmation on the board ends the list over it.
  places_.lists.Hide();
  places_.lists.Anchor(at);
  if (const auto command = AtOnce(cell)) {
    Execute(board::CommandToken(*command));
  } else if (cell.variants.size() < 2) {
    // What the cell shows is what it writes.
    Execute(cell.label);
  } else if (state_.settings.QuickKana() && IsKana(cell.variants.front())) {
    // One selection per kana: the first variant goes in at once; ゛~ turns
    // it into the others.
    InsertText(cell.variants.front());
  } else {
    places_.lists.OpenVariants(cell.variants);
  }
}

void Selection::Execute(const std::string& text) {
  const auto command = board::CommandOfText(text);
  if (!command) {
    if (!text.empty()) InsertText(text);
    return;
  }
  const CommandEntry& entry = EntryOf(*command);
  if (*entry.inserts != '\0') {
    InsertText(entry.inserts);
  } else {
    commands_.Run(*command, CommandSource::Board);
  }
}

void Selection::ChooseListCell(CellPos cell) {
  const std::string chosen = places_.lists.Choose(cell);
  if (!chosen.empty()) Execute(chosen);
}

void Selection::ChooseRowCell(int cell) {
  const std::string promised = places_.row.Offer().candidates[static_cast<std::size_t>(cell)];
  // A list over the board closes (a conversion ends there, its caret after
  // the reading left); the row is then filled for the caret as it is now,
  // and only the candidate the status line promised is written.
  places_.lists.Hide();
  places_.row.Refresh();
  const auto& now = places_.row.Offer().candidates;
  if (static_cast<std::size_t>(cell) < now.size() && now[static_cast<std::size_t>(cell)] == promised) {
    places_.row.Choose(cell);
  }
}

void Selection::ForgetRowCell(int cell) {
  const std::string promised = places_.row.Offer().candidates[static_cast<std::size_t>(cell)];
  // As a choice: the row is filled for the caret as it is now, and only the
  // candidate the status line named is forgotten.
  places_.lists.Hide();
  places_.row.Refresh();
  const auto& now = places_.row.Offer().candidates;
  const auto asked = std::make_pair(cell, promised);
  if (static_cast<std::size_t>(cell) >= now.size() || now[static_cast<std::size_t>(cell)] != promised ||
      places_.row.LearnedText(cell).empty()) {
    forgetAsked_.reset();
    return;
  }
  if (ForgetAsksTwice() && forgetAsked_ != asked) {
    forgetAsked_ = asked;
    return;
  }
  forgetAsked_.reset();
  forgetting_ = false;
  places_.row.Forget(cell);
  p_.pnlMsg.SetMessage(Sj("「") + promised + Sj("」を覚えた言葉から消しました"));
}

bool Selection::ForgetAsksTwice() const {
  const Settings& s = state_.settings;
  return ClickModeOn(s) || ScanModeOn(s) || (DwellModeOn(s) && s.ConfirmTwice());
}

bool Selection::EndsForgetting(const Target& t) const {
  if (!forgetting_ || !t.OnCell()) return false;
  if (t.place == Place::List) return true;
  if (t.place != Place::Board || Face() != Place::Board) return false;
  return places_.board.CellAt(t.cell.col, t.cell.row).command != Command::CallBell;
}

void Selection::ToggleForgetting() {
  if (forgetting_) {
    StopForgetting();
    return;
  }
  forgetting_ = true;
  forgetAsked_.reset();
  p_.pnlMsg.SetMessage(Sj("消したい候補を選んでください"));
}

void Selection::StopForgetting() {
  if (!forgetting_) return;
  forgetting_ = false;
  forgetAsked_.reset();
  p_.pnlMsg.SetMessage(Sj("消すのをやめました"));
}

std::string Selection::AskTwiceOf(const BoardCell& cell) const {
  const bool twice = ScanModeOn(state_.settings) || (DwellModeOn(state_.settings) && state_.settings.ConfirmTwice());
  const auto command = AtOnce(cell);
  return twice && command ? Sj(EntryOf(*command).askTwice) : std::string();
}

std::string Selection::AskTwiceOfSlot(CellPos cell) const {
  if (ClickModeOn(state_.settings) || !places_.slotBoard.Replaces(cell)) return {};
  return Sj("もう一度で上書き");
}

bool Selection::ArmedOn(const Target& target, const std::string& askTwice) const {
  // A face shown afresh writes its own labels: an armed cell that no longer
  // reads its second-press text is armed no more.
  return !askTwice.empty() && armed_ == target && p_.sgd00.CellText(target.cell.col, target.cell.row) == askTwice;
}

bool Selection::ArmedFirst(const Target& target, const std::string& askTwice) {
  if (ArmedOn(target, askTwice)) {
    // The second confirmation: the command runs.
    Disarm();
    return false;
  }
  Disarm();
  if (askTwice.empty()) return false;
  armed_ = target;
  p_.sgd00.SetCellText(target.cell.col, target.cell.row, askTwice);
  return true;
}

void Selection::Disarm() {
  if (!armed_) return;
  const Target at = *armed_;
  armed_.reset();
  // The board may show another face by now: only a cell of the face on show
  // is restored.
  if (at.place != Face()) return;
  const std::string label =
      at.place == Place::SlotBoard ? SlotBoard::Label(at.cell) : places_.board.CellAt(at.cell.col, at.cell.row).label;
  p_.sgd00.SetCellText(at.cell.col, at.cell.row, label);
}

std::optional<CellPos> Selection::ScanStart() const {
  if (Face() != Place::SlotBoard || ListShown()) return std::nullopt;
  return places_.slotBoard.Start();
}

void Selection::Finish() {
  // The caret may have moved without a change of the text.
  places_.row.Refresh();
  p_.memMain.SetFocus();
  edit_.ShowBlockCaret();
  commands_.Update();
}

// ---------------------------------------------------------------- commands

void Selection::InsertText(const std::string& text) {
  // Through the staging box and the clipboard, so the insertion is one change
  // of the edit area, replacing its selection, exactly as a paste is.
  p_.edtInp.SetText(text);
  p_.edtInp.SelectAll();
  p_.edtInp.CutToClipboard();
  edits_.PasteFromClipboard();
  places_.row.Wrote();
}

void Selection::TogglePause() {
  paused_ = !paused_;
  p_.pnlMsg.SetMessage(paused_ ? Sj("休止中") : std::string());
}

void Selection::StartConversion() { places_.lists.StartConversion(); }

void Selection::LeaveList() {
  places_.lists.Hide();
  p_.memMain.SetFocus();
  edit_.ShowBlockCaret();
}

void Selection::PointerLeftList() {
  if (places_.lists.Shown() == BoardLists::Kind::Variants) places_.lists.Hide();
}

}  // namespace velkor
