// The input modes as the option slots hold them (click, dwell with its time,
// arrow keys), and the message channel that follows the mode. The menu's
// check marks show the same slots; the logic reads the slots.
#pragma once

#include <string>

#include "core/Platform.h"
#include "core/Settings.h"

namespace velkor {

// Each mode is tested on its own, as the slots hold it: stored slots may turn
// on more than one. Scanning (Access/Scan) turns the three others off while
// it is on; the slots keep them for when it is turned off again.
inline bool ScanModeOn(const Settings& s) { return s.Scan(); }
inline bool ClickModeOn(const Settings& s) { return !s.Scan() && s.Option(option::kClickMode) == "1"; }
inline bool DwellModeOn(const Settings& s) { return !s.Scan() && s.DwellTenths().has_value(); }
inline bool ArrowKeyModeOn(const Settings& s) { return !s.Scan() && s.Option(option::kArrowKeyMode) == "1"; }

// Messages on the mode's channel: a message box in click mode, the status
// line's message place in the other modes, for people who cannot click a box
// away. Questions are asked in click mode only.
class MessageChannel {
 public:
  MessageChannel(const Settings& settings, IMainWindow& window, IStatusLine& status)
      : settings_(settings), window_(window), status_(status) {}

  void Say(const std::string& text, MessageIcon icon = MessageIcon::None) const {
    if (ClickModeOn(settings_)) {
      window_.ShowMessage(text, icon);
    } else {
      status_.SetMessage(text);
    }
  }
  bool AsksQuestions() const { return ClickModeOn(settings_); }

 private:
  const Settings& settings_;
  IMainWindow& window_;
  IStatusLine& status_;
};

}  // namespace velkor
