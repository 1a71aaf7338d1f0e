// A drawing surface laid out from the simulator's slot numbers alone, not from
// the SDK headers: its vtable holds SetTextColor at slot 5, GetTextWidth at 9
// and Text at 12, and every other of the first thirteen slots only notes that
// it was called. Handed to the page as an oapi::Sketchpad, it catches a page
// that calls by another slot order than the simulator's.
#pragma once

#include <vector>

#include "Orbitersdk.h"
#include "host/RecordingSketchpad.h"

namespace standin {

class SlotSketchpad {
 public:
  explicit SlotSketchpad(int charWidth);
  SlotSketchpad(const SlotSketchpad&) = delete;
  SlotSketchpad& operator=(const SlotSketchpad&) = delete;

  // This object as the page is to see it.
  oapi::Sketchpad& AsSketchpad();

  const std::vector<ghost::TextCall>& calls() const { return recorder_.calls(); }
  // Slots called other than 5, 9 and 12, in call order.
  const std::vector<int>& wrongSlots() const { return wrongSlots_; }

  // The recording surface that does the work of the three slots the page may
  // call: their vtable entries hand the call on to it.
  ghost::RecordingSketchpad& recorder() { return recorder_; }
  void NoteWrongSlot(int slot) { wrongSlots_.push_back(slot); }

 private:
  // As the simulator's object: the vtable pointer, then its surface. Only the
  // page reads them.
  [[maybe_unused]] const void* const* vtable_;
  [[maybe_unused]] SURFHANDLE surface_ = nullptr;

  ghost::RecordingSketchpad recorder_;
  std::vector<int> wrongSlots_;
};

}  // namespace standin
