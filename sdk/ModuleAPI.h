// Plug-in module base classes.
#pragma once

#include "OrbiterAPI.h"

namespace oapi {

class OAPIFUNC ModuleNV {
 public:
  explicit ModuleNV(HINSTANCE hDLL);
  HINSTANCE GetModule() const { return hModule; }

 protected:
  int version;  // the host's interface version of the module object
  HINSTANCE hModule;
};

// The order of the virtual operations is the simulator's vtable.
class OAPIFUNC Module : public ModuleNV {
 public:
  enum RenderMode { RENDER_NONE, RENDER_FULLSCREEN, RENDER_WINDOW };

  explicit Module(HINSTANCE hDLL);
  virtual ~Module();
  virtual void clbkSimulationStart(RenderMode mode);
  virtual void clbkSimulationEnd();
  virtual void clbkPreStep(double simt, double simdt, double mjd);
  virtual void clbkPostStep(double simt, double simdt, double mjd);
  virtual void clbkTimeJump(double simt, double simdt, double mjd);
  virtual void clbkFocusChanged(OBJHANDLE new_focus, OBJHANDLE old_focus);
  virtual void clbkTimeAccChanged(double new_warp, double old_warp);
  virtual void clbkNewVessel(OBJHANDLE hVessel);
  virtual void clbkDeleteVessel(OBJHANDLE hVessel);
  virtual void clbkVesselJump(OBJHANDLE hVessel);
  virtual void clbkPause(bool pause);
  // Input the host offers a module first; true keeps it from the simulator.
  // The defaults take nothing.
  virtual bool clbkProcessMouse(UINT event, DWORD state, DWORD x, DWORD y);
  virtual bool clbkProcessKeyboardImmediate(char kstate[256], bool simRunning);
  virtual bool clbkProcessKeyboardBuffered(DWORD key, char kstate[256], bool simRunning);
};

}  // namespace oapi

// The host owns a registered module and deletes it before unloading the library.
OAPIFUNC void oapiRegisterModule(oapi::Module* module);
