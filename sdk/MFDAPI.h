// Multi-function display pages.
#pragma once

#include "DrawAPI.h"
#include "OrbiterAPI.h"

class VESSEL;
class Instrument_User;

// The order of the virtual operations is the simulator's vtable.
class OAPIFUNC MFD {
 public:
  MFD(DWORD w, DWORD h, VESSEL* vessel);
  virtual ~MFD();
  virtual void Update(HDC hDC) = 0;
  virtual bool ConsumeKeyBuffered(DWORD key);
  virtual bool ConsumeKeyImmediate(char* kstate);
  virtual bool ConsumeButton(int bt, int event);
  virtual char* ButtonLabel(int bt);
  virtual int ButtonMenu(const MFDBUTTONMENU** menu) const;
  virtual void WriteStatus(FILEHANDLE scn) const;
  virtual void ReadStatus(FILEHANDLE scn);
  virtual void StoreStatus() const;
  virtual void RecallStatus();

 protected:
  DWORD W, H;    // display size [pixels]
  DWORD cw, ch;  // character width and height of the display font [pixels]
  VESSEL* pV;    // the display's vessel

 private:
  Instrument_User* instr;  // the host's display that shows the page
};

// Constructor, destructor and Update(HDC) are inline, as in the simulator's
// SDK: a module imports MFD's constructor and destructor, not MFD2's.
class OAPIFUNC MFD2 : public MFD {
 public:
  MFD2(DWORD w, DWORD h, VESSEL* vessel) : MFD(w, h, vessel) {}
  ~MFD2() override {}
  void Update(HDC /*hDC*/) override {}
  virtual bool Update(oapi::Sketchpad* skp);
  // A colour as 0xBBGGRR. Index 0 main (green), 1 yellow, 2 white, 3 red,
  // 4 blue; intensity 0 bright, 1 dim.
  DWORD GetDefaultColour(DWORD colidx, DWORD intens = 0) const;
};
