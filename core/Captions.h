// The program's name and the main window's captions, as the window and its
// message boxes show them (UTF-8: a caption may show a native file name).
#pragma once

#include <string>

#include "core/Settings.h"

namespace velkor {

inline constexpr char kApplicationTitle[] = "Velkor*LT";

// "Velkor*LT*V3.2-新規": the caption of an untitled document.
inline std::string UntitledCaption() { return std::string(kApplicationTitle) + kVersionTag + "-新規"; }
// "Velkor*LT-" and the document's path.
inline std::string DocumentCaption(const std::string& path) { return std::string(kApplicationTitle) + "-" + path; }

}  // namespace velkor
