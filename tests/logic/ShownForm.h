// The main window's logic over the fakes, wired as the real window wires it.
#pragma once

#include "form/MainForm.h"
#include "tests/logic/FakePlatform.h"

namespace velkor::testing {

// The edit area's change notification reaches the form, as it does in the
// real window.
inline void WireNotifications(FakePlatform& fake, MainForm& form) {
  fake.memMain.onChange = [&form] { form.MemMainChange(); };
}

// The pointer moves to a point of the board grid, the list or the
// prediction row (in its own coordinates), or presses there, as the window
// reports it to the one dwell tracker.
inline void PointerAt(FakePlatform& fake, MainForm& form, Point onScreen) {
  fake.pointer.position = onScreen;
  form.Pointer().PointerMoved();
}
inline void PressAt(FakePlatform& fake, MainForm& form, Point onScreen) {
  fake.pointer.position = onScreen;
  form.Pointer().PointerPressed();
}
inline Point OnGrid(const FakePlatform& fake, int x, int y) { return fake.sgd00.OnScreen(x, y); }
inline Point OnList(const FakePlatform& fake, int x, int y) {
  const Point o = fake.sgd01.Origin();
  return {o.x + x, o.y + y};
}
inline Point OnRow(const FakePlatform& fake, int x, int y) {
  return {fake.predictionRow.origin.x + x, fake.predictionRow.origin.y + y};
}

}  // namespace velkor::testing
