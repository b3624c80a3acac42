// 話~: reads the selection, the line the caret stands on, or the whole text
// aloud; a second 話~ while speaking stops it.
#pragma once

#include <functional>
#include <string>

#include "core/Platform.h"
#include "core/ProgramState.h"
#include "input/Speech.h"

namespace velkor {

class ReadAloud {
 public:
  struct Ports {
    IEditArea& memMain;
    ISpeech& speech;
  };

  // `message` tells the user what went wrong (the mode's message channel).
  ReadAloud(ProgramState& state, Ports ports, std::function<void(const std::string&)> message)
      : state_(state), p_(ports), message_(std::move(message)) {}

  void Speak();
  // Reads `text` (code page 932) aloud at the speech settings; tells the user
  // when nothing can be heard.
  void Say(const std::string& text);
  // Reads a short text (what scanning reached) unless something else is
  // being read; says nothing when nothing can be heard.
  void SayBriefly(const std::string& text);
  // The text changed (any change, the user's typing included). With
  // Speech/SentenceEnd, a 。, ！ or ？ just written before the caret reads
  // the sentence it ends aloud at once.
  void TextChanged();
  // The sentence that the mark before `end` ends: from after the previous
  // 。, ！, ？ or line break up to `end` (code page 932).
  static std::string SentenceBefore(const std::string& text, std::size_t end);

 private:
  // The selection; else the line the caret stands on; an empty line: the
  // whole text.
  std::string TextToSpeak() const;

  ProgramState& state_;
  Ports p_;
  std::function<void(const std::string&)> message_;
  std::string last_;    // the text at the last change
  bool brief_ = false;  // what is being read is a brief text
};

}  // namespace velkor
