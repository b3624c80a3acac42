// Reading text aloud: for people who cannot speak, what they write is how they
// talk. The engine synthesises and plays without blocking the program.
#pragma once

#include <string>

namespace velkor {

// Why nothing could be heard.
enum class SpeechFailure {
  NoOutput,      // no audio output, or the engine failed
  NoEngine,      // the speech engine is not installed
  NoDictionary,  // its dictionary is not installed
  NoVoice,       // the Japanese voice (in Debian's contrib section) is not installed
};

class ISpeech {
 public:
  virtual ~ISpeech() = default;
  // Starts speaking `text` (code page 932) at `speedPercent` and
  // `volumePercent` of normal and returns at once. False when nothing can be
  // heard: no engine, or no audio output.
  virtual bool Speak(const std::string& text, int speedPercent, int volumePercent) = 0;
  // Stops speaking at once.
  virtual void Stop() = 0;
  // True from Speak until the text has been played or stopped.
  virtual bool Speaking() const = 0;
  // Why Speak was false: a missing part is named to the user.
  virtual SpeechFailure Failure() const { return SpeechFailure::NoOutput; }
};

// What the user is told when nothing can be heard (code page 932): the
// package to install when a part is missing.
std::string SpeechFailureMessage(SpeechFailure failure);

}  // namespace velkor
