#include <cstdio>
#include <cstring>

#include "Galeboard.h"

bool Galeboard::Update(oapi::Sketchpad* skp) {
  static const char title[] = "Galeboard";
  skp->SetTextColor(GetDefaultColour(1, 0));
  int x = static_cast<int>(W / 2) - static_cast<int>(skp->GetTextWidth(title) / 2);
  skp->Text(x, 0, title, static_cast<int>(std::strlen(title)));
  return true;
}
