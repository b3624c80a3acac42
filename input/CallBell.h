// 鈴~: the call bell rung from the board, or by a scan switch held down. It
// rings in every input mode and also while input rests (休~): calling for
// help is never suspended. A second ring while it sounds stops it.
#pragma once

#include <functional>
#include <string>

#include "core/Platform.h"
#include "core/ProgramState.h"
#include "input/Bell.h"

namespace velkor {

class CallBell {
 public:
  // How many times the chime sounds.
  static constexpr int kTimes = 3;

  struct Ports {
    IBell& bell;
    IStatusLine& pnlMsg;
  };
  // `paused` tells whether input rests (the message place then says 休止中
  // again once the bell is silent).
  CallBell(ProgramState& state, Ports ports, std::function<bool()> paused);

  // Rings the bell, or stops it while it rings.
  void Toggle();
  bool Ringing() const { return p_.bell.Ringing(); }
  // The chime ended by itself.
  void Finished();

 private:
  ProgramState& state_;
  Ports p_;
  std::function<bool()> paused_;
  bool showing_ = false;  // the message place says 呼び出し中
};

}  // namespace velkor
