#include "document/RecentFiles.h"

#include <algorithm>

namespace velkor {

void AddRecentFile(StringList& fileList, const std::string& path) {
  if (path.empty()) return;
  fileList.insert(fileList.begin(), path);
  const auto older = std::find(fileList.begin() + 1, fileList.end(), path);
  if (older != fileList.end()) fileList.erase(older);
  if (fileList.size() > static_cast<std::size_t>(kRecentFileCount)) fileList.resize(kRecentFileCount);
}

RecentFileCaptionList RecentFileCaptions(const StringList& fileList) {
  RecentFileCaptionList captions;
  for (int i = 0; i < kRecentFileCount && static_cast<std::size_t>(i) < fileList.size(); ++i)
    captions[static_cast<std::size_t>(i)] =
        std::string(1, static_cast<char>('0' + i)) + fileList[static_cast<std::size_t>(i)];
  return captions;
}

}  // namespace velkor
