#include "input/EditCommands.h"

#include <algorithm>
#include <string>

#include "document/CaretMoves.h"

namespace velkor {
namespace {

std::size_t CaretIn(const IEditArea& edit, const std::string& text) {
  return caret::Snap(text, static_cast<std::size_t>(std::max(0, edit.SelStart())));
}

}  // namespace

void MoveCaret(IEditArea& edit, Command direction) {
  const std::string t = edit.Text();
  const std::size_t pos = CaretIn(edit, t);
  std::optional<std::size_t> target;
  switch (direction) {
    case Command::Left: target = caret::Left(t, pos); break;
    case Command::Right: target = caret::Right(t, pos); break;
    case Command::Up: target = caret::Up(t, pos); break;
    case Command::Down: target = caret::Down(t, pos); break;
    default: return;
  }
  if (!target) return;
  edit.SetSelStart(static_cast<int>(*target));
  edit.ScrollToCaret();
}

void DeleteCharacter(IEditArea& edit, TextEdits& edits, Command which) {
  const std::string t = edit.Text();
  std::size_t pos = CaretIn(edit, t);
  if (which == Command::BackSpace) {
    if (pos == 0) return;
    pos = caret::Left(t, pos);
    edit.SetSelStart(static_cast<int>(pos));
    edit.ScrollToCaret();
  }
  const std::size_t length = caret::CharAt(t, pos);
  edit.SetSelStart(static_cast<int>(pos));
  if (length == 0) return;
  edit.SetSelLength(static_cast<int>(length));
  edits.ReplaceSelection("");
}

}  // namespace velkor
