#include "input/ReadAloud.h"

#include <algorithm>
#include <utility>

#include "core/Cp932.h"
#include "document/CaretMoves.h"

namespace velkor {

std::string ReadAloud::TextToSpeak() const {
  const std::string text = p_.memMain.Text();
  const std::size_t start = caret::Snap(text, static_cast<std::size_t>(std::max(0, p_.memMain.SelStart())));
  const std::size_t length = static_cast<std::size_t>(std::max(0, p_.memMain.SelLength()));
  if (length > 0) return text.substr(start, length);
  std::size_t lineStart = 0;
  if (start > 0) {
    const std::size_t previousBreak = text.rfind("\r\n", start - 1);
    if (previousBreak != std::string::npos) lineStart = previousBreak + 2;
  }
  const std::size_t lineEnd = std::min(text.find("\r\n", start), text.size());
  std::string spoken = text.substr(lineStart, lineEnd - lineStart);
  return spoken.empty() ? text : spoken;
}

void ReadAloud::Speak() {
  ISpeech& speech = p_.speech;
  // A second confirmation while speaking is the user's way to interrupt.
  if (speech.Speaking()) {
    speech.Stop();
    return;
  }
  const std::string spoken = TextToSpeak();
  if (spoken.empty()) {
    message_(cp932::FromUtf8("読み上げるデータがありません"));
    return;
  }
  Say(spoken);
}

void ReadAloud::SayBriefly(const std::string& text) {
  if (text.empty() || (p_.speech.Speaking() && !brief_)) return;
  const Settings& s = state_.settings;
  brief_ = p_.speech.Speak(text, s.SpeechPercent(option::kSpeechSpeed), s.SpeechPercent(option::kSpeechVolume));
}

void ReadAloud::Say(const std::string& text) {
  brief_ = false;
  const Settings& s = state_.settings;
  if (!p_.speech.Speak(text, s.SpeechPercent(option::kSpeechSpeed), s.SpeechPercent(option::kSpeechVolume))) {
    message_(SpeechFailureMessage(p_.speech.Failure()));
  }
}

namespace {

bool IsSentenceMark(std::string_view character) {
  for (const char* mark : {"。", "！", "？"}) {
    if (character == cp932::FromUtf8(mark)) return true;
  }
  return false;
}

}  // namespace

std::string ReadAloud::SentenceBefore(const std::string& text, std::size_t end) {
  // The mark itself ends the sentence: the search begins before it.
  std::size_t start = caret::CharBefore(text, end);
  while (start > 0) {
    const std::size_t before = caret::CharBefore(text, start);
    const std::string_view character(text.data() + before, start - before);
    if (character == "\r\n" || character == "\n" || IsSentenceMark(character)) break;
    start = before;
  }
  return text.substr(start, end - start);
}

void ReadAloud::TextChanged() {
  std::string text = p_.memMain.Text();
  const std::string before = std::exchange(last_, text);
  if (!state_.settings.SpeakSentenceEnd() || p_.memMain.SelLength() > 0 || text.size() <= before.size()) return;
  const std::size_t end = caret::Snap(text, static_cast<std::size_t>(std::max(0, p_.memMain.SelStart())));
  // Only text just written counts: an insertion that ends at the caret (a
  // document opened, or an undo elsewhere, is no sentence written).
  const std::size_t added = text.size() - before.size();
  if (end < added || text.compare(0, end - added, before, 0, end - added) != 0 ||
      text.compare(end, std::string::npos, before, end - added, std::string::npos) != 0)
    return;
  const std::size_t mark = caret::CharBefore(text, end);
  if (end == 0 || !IsSentenceMark(std::string_view(text).substr(mark, end - mark))) return;
  // A mark alone (after spaces, a line break or another mark) ends no
  // sentence: the voice would have nothing to say.
  const std::string sentence = SentenceBefore(text, end);
  std::string_view words = std::string_view(sentence).substr(0, sentence.size() - (end - mark));
  const std::string wideSpace = cp932::FromUtf8("　");
  while (!words.empty()) {
    if (words.front() == ' ' || words.front() == '\t') {
      words.remove_prefix(1);
    } else if (words.substr(0, wideSpace.size()) == wideSpace) {
      words.remove_prefix(wideSpace.size());
    } else {
      break;
    }
  }
  if (words.empty()) return;
  Say(sentence);
}

}  // namespace velkor
