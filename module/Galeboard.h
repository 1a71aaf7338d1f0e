// The MFD page. It keeps no state: every page shows and edits the settings of
// the one module object and wind record.
#pragma once

#include "Orbitersdk.h"

class Galeboard : public MFD2 {
 public:
  Galeboard(DWORD w, DWORD h, VESSEL* vessel);
  ~Galeboard() override;

  bool ConsumeKeyBuffered(DWORD key) override;
  bool ConsumeButton(int bt, int event) override;
  char* ButtonLabel(int bt) override;
  int ButtonMenu(const MFDBUTTONMENU** menu) const override;
  void StoreStatus() const override;
  using MFD2::Update;
  bool Update(oapi::Sketchpad* skp) override;
};
