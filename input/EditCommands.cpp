#include "input/EditCommands.h"

#include <algorithm>
#include <string>

#include "board/BoardModel.h"
#include "core/Cp932.h"
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

bool IsKana(const std::string& variant) {
  const std::u16string text = cp932::Decode(variant);
  if (text.size() != 1) return false;
  const char16_t c = text[0];
  return (c >= u'ぁ' && c <= u'ゖ') || (c >= u'ァ' && c <= u'ヺ') || (c >= u'ｦ' && c <= u'ﾝ' && c != u'ｰ');
}

namespace {

// The character before the caret and what ゛~ turns it into.
struct Turn {
  std::size_t start = 0;
  std::size_t caret = 0;
  std::string next;
};

std::optional<Turn> TurnBeforeCaret(const IEditArea& edit, const StringList& boardCells) {
  const std::string t = edit.Text();
  const std::size_t caret = CaretIn(edit, t);
  if (caret == 0) return std::nullopt;
  const std::size_t start = caret::Left(t, caret);
  const std::string before = t.substr(start, caret - start);
  for (const std::string& cell : boardCells) {
    const StringList variants = board::Variants(cell);
    if (variants.size() < 2 || !IsKana(variants.front())) continue;
    const auto it = std::find(variants.begin(), variants.end(), before);
    if (it == variants.end()) continue;
    const auto next = std::next(it) == variants.end() ? variants.begin() : std::next(it);
    return Turn{start, caret, *next};
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> NextVariantBeforeCaret(const IEditArea& edit, const StringList& boardCells) {
  const auto turn = TurnBeforeCaret(edit, boardCells);
  if (!turn) return std::nullopt;
  return turn->next;
}

bool CycleVariantBeforeCaret(IEditArea& edit, TextEdits& edits, const StringList& boardCells) {
  const auto turn = TurnBeforeCaret(edit, boardCells);
  if (!turn) return false;
  edit.SetSelStart(static_cast<int>(turn->start));
  edit.SetSelLength(static_cast<int>(turn->caret - turn->start));
  edits.ReplaceSelection(turn->next);
  return true;
}

}  // namespace velkor
