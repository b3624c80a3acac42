// The recent-file list: the paths of the last documents opened or saved, most
// recent first, and the captions of the ten menu items that offer them.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "core/CommaText.h"

namespace velkor {

inline constexpr int kRecentFileCount = 10;

// Puts `path` at the top of `fileList`, removes the first older item equal to
// it byte for byte (letter case counts; at most one copy goes), and then drops
// items from the end until at most ten remain. An empty path changes nothing,
// not even a list that is longer than ten.
void AddRecentFile(StringList& fileList, const std::string& path);

// The captions of the menu items 0 to 9 (UTF-8, as the paths are): the digit i
// immediately followed by fileList[i]. An item for which the list has no path
// gets std::nullopt: it keeps whatever caption it has (the bare digit at start).
using RecentFileCaptionList = std::array<std::optional<std::string>, kRecentFileCount>;
RecentFileCaptionList RecentFileCaptions(const StringList& fileList);

}  // namespace velkor
