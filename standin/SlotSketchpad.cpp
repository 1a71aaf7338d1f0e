#include "standin/SlotSketchpad.h"

namespace standin {

namespace {

// A member function's calling convention, written for a free function that
// takes the object first: thiscall on i686, the ordinary one on x86_64.
#if defined(_M_IX86)
#define MEMBER_CALL __thiscall
#else
#define MEMBER_CALL
#endif

DWORD MEMBER_CALL SetTextColorSlot(SlotSketchpad* self, DWORD colour) { return self->recorder().SetTextColor(colour); }
DWORD MEMBER_CALL GetTextWidthSlot(SlotSketchpad* self, const char* text, int length) {
  return self->recorder().GetTextWidth(text, length);
}
bool MEMBER_CALL TextSlot(SlotSketchpad* self, int x, int y, const char* text, int length) {
  return self->recorder().Text(x, y, text, length);
}
// Takes no arguments beyond the object: on i686 a wrong call then also
// unbalances the stack, which is no worse than the simulator would fare.
template <int slot>
void MEMBER_CALL WrongSlot(SlotSketchpad* self) {
  self->NoteWrongSlot(slot);
}

template <typename Function>
const void* Entry(Function f) {
  return reinterpret_cast<const void*>(f);
}

const void* const kVtable[13] = {
    Entry(WrongSlot<0>),     Entry(WrongSlot<1>),  Entry(WrongSlot<2>), Entry(WrongSlot<3>), Entry(WrongSlot<4>),
    Entry(SetTextColorSlot), Entry(WrongSlot<6>),  Entry(WrongSlot<7>), Entry(WrongSlot<8>), Entry(GetTextWidthSlot),
    Entry(WrongSlot<10>),    Entry(WrongSlot<11>), Entry(TextSlot),
};

}  // namespace

SlotSketchpad::SlotSketchpad(int charWidth) : vtable_(kVtable), recorder_(charWidth) {}

oapi::Sketchpad& SlotSketchpad::AsSketchpad() {
  // Deliberately not a C++ conversion: the page must find the slots where the
  // simulator puts them.
  return *reinterpret_cast<oapi::Sketchpad*>(this);
}

}  // namespace standin
