// Plug-in module base classes.
#pragma once

#include "OrbiterAPI.h"

namespace oapi {

class OAPIFUNC ModuleNV {
 public:
  explicit ModuleNV(HINSTANCE hDLL);
  HINSTANCE GetModule() const { return hModule; }

 protected:
  HINSTANCE hModule;
};

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
};

}  // namespace oapi

// The host owns a registered module and deletes it before unloading the library.
OAPIFUNC void oapiRegisterModule(oapi::Module* module);
