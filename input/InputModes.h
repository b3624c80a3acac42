// The input modes (click, dwell with a time of 0.3 to 5 seconds, arrow keys;
// scanning beside them), their menu check marks and their option slots.
#pragma once

#include <functional>

#include "core/InputMode.h"
#include "core/Platform.h"
#include "core/ProgramState.h"

namespace velkor {

class InputModes {
 public:
  // The platform's parts it uses.
  struct Ports {
    IMainWindow& window;
    IStatusLine& pnlMsg;
  };

  InputModes(ProgramState& state, Ports ports)
      : state_(state), p_(ports), channel_(state.settings, ports.window, ports.pnlMsg) {}

  // Whether the menu's item of a mode (click, dwell and its whole seconds,
  // arrow keys) is ticked, from option slots 0 to 2. Each test is an exact
  // text comparison standing alone, so inconsistent slots give several
  // marks; while scanning none is ticked.
  bool Ticked(Command item) const;

  void MnuEditClickClick() { SetMode("1", "0", "0"); }
  void MnuEditM10Click() { SetMode("0", "1", "0"); }
  void MnuEditM20Click() { SetMode("0", "2", "0"); }
  void MnuEditM30Click() { SetMode("0", "3", "0"); }
  void MnuEditM40Click() { SetMode("0", "4", "0"); }
  void MnuEditM50Click() { SetMode("0", "5", "0"); }
  void MnuEditYaClick() { SetMode("0", "0", "1"); }
  // Dwell with a time as the dwell slot holds it ("1", "0.8").
  void SetDwell(const std::string& seconds) { SetMode("0", seconds.c_str(), "0"); }

  // A message on the mode's channel: a message box in click mode, the status
  // line in the other modes, for people who cannot click a box away.
  void Message(const std::string& text, MessageIcon icon = MessageIcon::None);

  // The mode as the option slots (and so the check marks) say, tested at
  // every event.
  bool ClickMode() const { return ClickModeOn(state_.settings); }
  bool DwellMode() const { return DwellModeOn(state_.settings); }
  bool ArrowKeyMode() const { return ArrowKeyModeOn(state_.settings); }
  const MessageChannel& Channel() const { return channel_; }
  // Told after a mode was chosen (scanning may have ended).
  void OnModeSet(std::function<void()> handler) { modeSet_ = std::move(handler); }

 private:
  void SetMode(const char* click, const char* dwell, const char* arrowKeys);

  ProgramState& state_;
  Ports p_;
  MessageChannel channel_;
  std::function<void()> modeSet_;
};

}  // namespace velkor
