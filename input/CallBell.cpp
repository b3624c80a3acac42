#include "input/CallBell.h"

#include "core/Cp932.h"

namespace velkor {

CallBell::CallBell(ProgramState& state, Ports ports, std::function<bool()> paused)
    : state_(state), p_(ports), paused_(std::move(paused)) {}

void CallBell::Toggle() {
  if (p_.bell.Ringing()) {
    p_.bell.Stop();
    showing_ = false;
    p_.pnlMsg.SetMessage(paused_ && paused_() ? cp932::FromUtf8("休止中") : std::string());
    return;
  }
  if (!p_.bell.Ring(kTimes, state_.settings.BellVolume())) {
    showing_ = false;
    // The message place in every mode, never a dialog: whoever rings may be
    // unable to answer one, and nothing may wait on it.
    p_.pnlMsg.SetMessage(cp932::FromUtf8("呼び出し音を鳴らせません（音の出力先がありません）"));
    return;
  }
  showing_ = true;
  p_.pnlMsg.SetMessage(cp932::FromUtf8("呼び出し中"));
}

void CallBell::Finished() {
  if (!showing_) return;
  showing_ = false;
  // Only the bell's own message goes; a pause says so again.
  if (p_.pnlMsg.Message() == cp932::FromUtf8("呼び出し中")) {
    p_.pnlMsg.SetMessage(paused_ && paused_() ? cp932::FromUtf8("休止中") : std::string());
  }
}

}  // namespace velkor
