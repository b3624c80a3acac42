// The call bell: a loud, distinct chime that calls someone to the user's side
// (at night, from another room). It plays without blocking the program.
#pragma once

#include <functional>

namespace velkor {

class IBell {
 public:
  virtual ~IBell() = default;
  // Starts the chime, played `times` times over at `volumePercent` (0 to
  // 100), and returns at once. False when nothing can be heard: no sound
  // output, or the chime's file is missing.
  virtual bool Ring(int times, int volumePercent) = 0;
  // Stops the chime at once.
  virtual void Stop() = 0;
  // True from Ring until the last chime has played or Stop was called.
  virtual bool Ringing() const = 0;
  // Told once when the chime ends by itself (not after Stop).
  virtual void OnFinished(std::function<void()> handler) = 0;
};

}  // namespace velkor
