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

 private:
  // The selection; else the line the caret stands on; an empty line: the
  // whole text.
  std::string TextToSpeak() const;

  ProgramState& state_;
  Ports p_;
  std::function<void(const std::string&)> message_;
};

}  // namespace velkor
