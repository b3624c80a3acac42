#include "document/Search.h"

#include <algorithm>
#include <cstddef>

#include "core/Cp932.h"

namespace velkor {
namespace {

constexpr char kSearchFinished[] = "検索は終了しました";
constexpr char kNoSearchData[] = "対象データがありません";

constexpr std::size_t kNone = std::string_view::npos;

using Bytes = const unsigned char*;

Bytes BytesOf(std::string_view s) { return reinterpret_cast<Bytes>(s.data()); }

// cp932::CharLength for a position inside the text, inlined for the scan loop:
// a lead byte takes the next byte unless that is a line break or missing.
inline std::size_t CharLen(Bytes d, std::size_t n, std::size_t pos) {
  return cp932::IsLeadByte(d[pos]) && pos + 1 < n && d[pos + 1] != '\r' && d[pos + 1] != '\n' ? 2 : 1;
}

// A single-byte character folded to lower case: A..Z to a..z.
inline unsigned char LowerSingle(unsigned char b) {
  return b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b + ('a' - 'A')) : b;
}

// The second byte of a double-byte character folded to lower case: the
// full-width capitals 0x8260..0x8279 become 0x8281..0x829A.
inline unsigned char LowerTrail(unsigned char lead, unsigned char trail) {
  return lead == 0x82 && trail >= 0x60 && trail <= 0x79 ? static_cast<unsigned char>(trail + 0x21) : trail;
}

std::string LowerCase(std::string_view text) {
  std::string out(text);
  auto* d = reinterpret_cast<unsigned char*>(out.data());
  const std::size_t n = out.size();
  // Folding never changes whether a byte is a lead byte or a line break, so
  // the characters of the folded text are those of the original.
  for (std::size_t i = 0; i < n;) {
    const std::size_t len = CharLen(d, n, i);
    if (len == 1) {
      d[i] = LowerSingle(d[i]);
    } else {
      d[i + 1] = LowerTrail(d[i], d[i + 1]);
    }
    i += len;
  }
  return out;
}

// Finds occurrences of one search text, folded once when case is ignored.
class Matcher {
 public:
  Matcher(std::string_view searchText, bool matchCase)
      : pattern_(matchCase ? std::string(searchText) : LowerCase(searchText)), matchCase_(matchCase) {}

  std::size_t Length() const { return pattern_.size(); }

  // The first occurrence that starts at or after `from`, which must be a
  // character boundary; kNone when there is none or the search text is empty.
  std::size_t Find(std::string_view text, std::size_t from) const {
    const std::size_t m = pattern_.size();
    const std::size_t n = text.size();
    if (m == 0 || m > n) return kNone;
    const Bytes d = BytesOf(text);
    const auto first = static_cast<unsigned char>(pattern_[0]);
    for (std::size_t t = from; t + m <= n; t += CharLen(d, n, t)) {
      // At a boundary an A..Z byte is a whole character, so folding the first
      // byte alone is right for a quick rejection.
      const unsigned char b = matchCase_ ? d[t] : LowerSingle(d[t]);
      if (b == first && MatchesAt(d, n, t)) return t;
    }
    return kNone;
  }

 private:
  // Compares character by character from the boundary `t`; the occurrence
  // must also end on a boundary, not inside a double-byte character.
  bool MatchesAt(Bytes d, std::size_t n, std::size_t t) const {
    const Bytes p = BytesOf(pattern_);
    const std::size_t m = pattern_.size();
    for (std::size_t i = 0; i < m;) {
      const std::size_t pos = t + i;
      const std::size_t len = CharLen(d, n, pos);
      if (i + len > m) return false;
      if (len == 1) {
        if ((matchCase_ ? d[pos] : LowerSingle(d[pos])) != p[i]) return false;
      } else {
        if (d[pos] != p[i]) return false;
        if ((matchCase_ ? d[pos + 1] : LowerTrail(d[pos], d[pos + 1])) != p[i + 1]) return false;
      }
      i += len;
    }
    return true;
  }

  std::string pattern_;
  bool matchCase_;
};

std::size_t StartPosition(std::string_view text, int selStart, int selLength, bool replace) {
  if (selLength <= 0) return 0;
  const long long start = replace ? static_cast<long long>(selStart) : static_cast<long long>(selStart) + selLength;
  auto s = static_cast<std::size_t>(std::clamp<long long>(start, 0, static_cast<long long>(text.size())));
  // Inside a double-byte character: that character began within or before the
  // selection, so the search starts after it.
  if (!cp932::IsCharBoundary(text, s)) ++s;
  return s;
}

void Show(const SearchMessageSink& message, const char* utf8) {
  if (message) message(cp932::FromUtf8(utf8));
}

}  // namespace

std::optional<SearchRange> SearchText(std::string_view text, int selStart, int selLength, std::string_view searchText,
                                      SearchOptions options) {
  const Matcher matcher(searchText, options.matchCase);
  const std::size_t at = matcher.Find(text, StartPosition(text, selStart, selLength, options.replace));
  if (at == kNone) return std::nullopt;
  return SearchRange{static_cast<int>(at), static_cast<int>(matcher.Length())};
}

std::optional<std::string> ReplaceAllText(std::string_view text, std::string_view searchText,
                                          std::string_view replacementText, bool matchCase, int* count) {
  if (count) *count = 0;
  const Matcher matcher(searchText, matchCase);
  std::size_t at = matcher.Find(text, 0);
  if (at == kNone) return std::nullopt;
  std::string out;
  out.reserve(text.size());
  std::size_t copied = 0;
  int replaced = 0;
  while (at != kNone) {
    out.append(text.substr(copied, at - copied));
    out.append(replacementText);
    ++replaced;
    // An occurrence ends on a boundary, so the scan goes on from there.
    copied = at + matcher.Length();
    at = matcher.Find(text, copied);
  }
  out.append(text.substr(copied));
  if (count) *count = replaced;
  return out;
}

bool BeginSearchDialog(IEditArea& area, const SearchMessageSink& message) {
  if (area.Text().empty()) {
    Show(message, kNoSearchData);
    return false;
  }
  area.SetSelLength(0);
  return true;
}

bool SearchInEditArea(IEditArea& area, TextEdits& edits, bool replace, bool matchCase, std::string_view searchText,
                      std::string_view replacementText, const SearchMessageSink& message) {
  const std::string text = area.Text();
  const std::optional<SearchRange> found =
      SearchText(text, area.SelStart(), area.SelLength(), searchText, {.replace = replace, .matchCase = matchCase});
  if (!found) {
    Show(message, kSearchFinished);
    area.SetSelLength(0);
    return false;
  }
  area.SetFocus();
  area.SetSelStart(found->start);
  area.SetSelLength(found->length);
  if (replace) {
    edits.ReplaceSelection(std::string(replacementText));
    // The caret now stands after the inserted text; the new selection covers
    // as many of the following bytes as the replacement has, or what is left.
    const int following = static_cast<int>(text.size()) - (found->start + found->length);
    area.SetSelLength(std::min(static_cast<int>(replacementText.size()), following));
  }
  return true;
}

int ReplaceAllInEditArea(IEditArea& area, TextEdits& edits, bool matchCase, std::string_view searchText,
                         std::string_view replacementText) {
  const std::string text = area.Text();
  int count = 0;
  const std::optional<std::string> replaced = ReplaceAllText(text, searchText, replacementText, matchCase, &count);
  // Occurrences replaced by themselves leave the text as it was: then, as
  // with no occurrence, the edit area is not touched at all.
  if (replaced && *replaced != text) edits.SetText(*replaced, TextEdits::Journaling::Record);
  return count;
}

bool CheckSearchTexts(bool holdable, const SearchMessageSink& message) {
  if (!holdable) message(cp932::FromUtf8("文書に書けない文字が含まれているため、見つかりません"));
  return holdable;
}

}  // namespace velkor
