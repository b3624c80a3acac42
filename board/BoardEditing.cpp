#include "board/BoardEditing.h"

#include "board/BoardModel.h"
#include "core/Cp932.h"

namespace velkor {

void BoardEditing::PmmMoziClick() {
  IBoardGrid& grid = p_.sgd00;
  const int tab = p_.tabC00.Index();
  if (!p_.tabC00.Visible() || tab <= board::kBuiltInTab || tab >= board::kTabCount) return;
  const int col = grid.Col();
  const int row = grid.Row();
  if (row >= board::kFirstCommandRow) return;

  const std::string current = grid.CellText(col, row);
  const std::string entered = p_.dialogs.Prompt(
      cp932::FromUtf8("文字盤編集"), cp932::FromUtf8("新しい文字を入力してください"), current, kMaxEntryBytes);
  if (entered == current) return;
  grid.SetCellText(col, row, entered);

  // Write back the whole displayed board of the tab: the content cells, then
  // the two command rows; items from 140 on stay as they were.
  std::string& slot = state_.settings.crtList.at(crt::kTab1Content + tab - 1);
  StringList items = board::ReadTabContent(slot);
  int k = 0;
  for (int r = 1; r <= board::kLastCommandRow; ++r) {
    for (int c = 1; c <= board::kContentCols; ++c, ++k) {
      std::string text = grid.CellText(c, r);
      if (text.empty()) text = std::string(board::kEmptyMarker);
      if (items[static_cast<std::size_t>(k)] != text) items[static_cast<std::size_t>(k)] = std::move(text);
    }
  }
  slot = WriteCommaText(items);
}

void BoardEditing::PmtTabClick() {
  const int tab = p_.tabC00.Index();
  StringList names = p_.tabC00.Names();
  if (tab < 0 || static_cast<std::size_t>(tab) >= names.size()) return;
  names[static_cast<std::size_t>(tab)] =
      p_.dialogs.Prompt(cp932::FromUtf8("タブ名変更"), cp932::FromUtf8("新しいタブ名を入力してください"),
                        names[static_cast<std::size_t>(tab)], kMaxEntryBytes);
  p_.tabC00.SetNames(names);
  p_.tabC00.SetIndex(tab);
  state_.settings.crtList.at(crt::kTabNames) = WriteCommaText(names);
}

}  // namespace velkor
