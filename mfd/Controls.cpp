#include "Galeboard.h"

bool Galeboard::ConsumeKeyBuffered(DWORD /*key*/) { return false; }

bool Galeboard::ConsumeButton(int /*bt*/, int /*event*/) { return false; }

char* Galeboard::ButtonLabel(int /*bt*/) { return nullptr; }

int Galeboard::ButtonMenu(const MFDBUTTONMENU** /*menu*/) const { return 12; }
