#include "input/ReadAloud.h"

#include <algorithm>

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
  const Settings& s = state_.settings;
  if (!speech.Speak(spoken, s.SpeechPercent(option::kSpeechSpeed), s.SpeechPercent(option::kSpeechVolume))) {
    message_(SpeechFailureMessage(speech.Failure()));
  }
}

}  // namespace velkor
