#include "document/EditView.h"

#include <algorithm>

#include "core/Cp932.h"

namespace velkor {

void EditView::ApplyEditFont() {
  const FontSpec font = state_.settings.CrtFont(crt::kEditFontName);
  p_.memMain.SetFont(font);
  p_.edtInp.SetFont(font);
}

void EditView::ApplyWordWrap() {
  const bool on = state_.settings.Option(option::kWordWrap) != "0";
  state_.settings.SetOption(option::kWordWrap, on ? "1" : "0");
  p_.memMain.SetWordWrap(on);
}

void EditView::MnuWordWrapClick() {
  const bool on = state_.settings.Option(option::kWordWrap) == "0";
  state_.settings.SetOption(option::kWordWrap, on ? "1" : "0");
  p_.window.SetChecked(MenuItem::WordWrap, on);
  ApplyWordWrap();
}

void EditView::ShowBlockCaret() {
  // At the end of a line and of the text the caret is as wide as "W".
  std::string character = p_.memMain.CharacterAtCaret();
  if (character.empty() || character[0] == '\r') character = "W";
  p_.memMain.SetBlockCaret(character);
}

}  // namespace velkor

namespace velkor {

void EditView::ActDspFontExecute() {
  const auto font = p_.dialogs.ChooseFont(p_.memMain.Font());
  if (!font) return;
  const std::string text = p_.memMain.Text();
  const int selLength = p_.memMain.SelLength();
  const int selStart = p_.memMain.SelStart();
  const bool modified = p_.memMain.Modified();
  edits_.Clear();
  state_.settings.SetCrtFont(crt::kEditFontName, FontSpec{font->name, font->size, font->colour});
  ApplyEditFont();
  // The refill is not a change of the document.
  edits_.SetText(text, TextEdits::Journaling::Skip);
  p_.memMain.SetSelStart(selStart);
  p_.memMain.SetSelLength(selLength);
  // Unsaved text stays unsaved: a close must still ask or keep it.
  p_.memMain.SetModified(modified);
}

bool EditView::MemMainKeyDown(Key key) {
  if (!ArrowKeyMode()) return false;
  keysDown_.insert(key);
  if (WalkRow(key)) return true;
  IBoardGrid& grid = p_.sgd00;
  const int col = grid.Col();
  const int row = grid.Row();
  const int lastCol = grid.ColCount() - 1;
  const int lastRow = grid.RowCount() - 1;
  switch (key) {
    case Key::Right: grid.SetCol(col < lastCol ? col + 1 : 1); break;
    case Key::Left: grid.SetCol(col > 1 ? col - 1 : lastCol); break;
    case Key::Down: grid.SetRow(row < lastRow ? row + 1 : 1); break;
    case Key::Up: grid.SetRow(row > 1 ? row - 1 : lastRow); break;
    default: break;
  }
  // The keys that move the caret walk the board instead, however long they
  // are held or repeated; Delete still deletes, typed keys are discarded.
  return key != Key::Delete && key != Key::Other;
}

void EditView::MemMainKeyUp(Key key) {
  if (!ArrowKeyMode()) return;
  // Only a key pressed here confirms: the release of one held while the
  // focus was in the variant list belongs to no board step.
  if (keysDown_.erase(key) == 0) return;
  if (key == Key::Left || key == Key::Right || key == Key::Up || key == Key::Down) return;
  const int rowCell = p_.predictionRow.Current();
  state_.onCandidates = rowCell >= 0 ? kOnPredictionRow : kOnBoard;
  state_.rowCell = rowCell;
  state_.boardCol = p_.sgd00.Col();
  state_.boardRow = p_.sgd00.Row();
  if (confirm_) confirm_();
}

bool EditView::WalkRow(Key key) {
  IPredictionRow& row = p_.predictionRow;
  const int cells = row.CellCount();
  IBoardGrid& grid = p_.sgd00;
  const int lastCol = grid.ColCount() - 1;
  const int lastRow = grid.RowCount() - 1;
  const int current = row.Current();
  if (cells <= 0 || current < 0) {
    // Onto the row: up from the first row, or down from the last, to the
    // cell above or below the board's column.
    const bool onto = cells > 0 && ((key == Key::Up && grid.Row() <= 1) || (key == Key::Down && grid.Row() >= lastRow));
    if (!onto) return false;
    row.SetCurrent(std::clamp((grid.Col() - 1) * cells / std::max(1, lastCol), 0, cells - 1));
  } else {
    switch (key) {
      case Key::Right: row.SetCurrent(current < cells - 1 ? current + 1 : 0); break;
      case Key::Left: row.SetCurrent(current > 0 ? current - 1 : cells - 1); break;
      case Key::Down:
      case Key::Up:
        // Off the row: to the first row below it, or round to the last.
        row.SetCurrent(-1);
        grid.SetCol(std::clamp(1 + (current * lastCol + lastCol / 2) / cells, 1, lastCol));
        grid.SetRow(key == Key::Down ? 1 : lastRow);
        break;
      default: return false;
    }
  }
  if (walked_) walked_();
  return true;
}

bool EditView::MemMainKeyPress() const { return ArrowKeyMode(); }

}  // namespace velkor
