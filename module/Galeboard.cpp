#include "module/Galeboard.h"

Galeboard::Galeboard(DWORD w, DWORD h, VESSEL* vessel) : MFD2(w, h, vessel) {}

Galeboard::~Galeboard() = default;
