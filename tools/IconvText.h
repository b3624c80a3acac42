// Text conversion for the build tools that read Debian's dictionaries (EUC-JP,
// UTF-8) and write code page 932.
#pragma once

#include <iconv.h>

#include <string>

namespace velkor::tools {

// The whole of `in` converted by `cd`, or "" when iconv rejects any of it.
inline std::string Convert(iconv_t cd, const std::string& in) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string src = in;
  std::string out(in.size() * 4 + 16, '\0');
  char* inPtr = src.data();
  size_t inLeft = src.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) return {};
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace velkor::tools
