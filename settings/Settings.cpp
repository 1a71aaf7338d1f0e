#include "Galeboard.h"
#include "Module.h"

void MODU::SaveSettings(VESSEL* /*vessel*/) {}

void MODU::LoadSettings() {}

void MODU::clbkFocusChanged(OBJHANDLE new_focus, OBJHANDLE /*old_focus*/) {
  vessel = oapiGetVesselInterface(new_focus);
}

void Galeboard::StoreStatus() const {}
