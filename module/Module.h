// The module object that receives the host's simulation callbacks, and the
// library-wide globals of the module's entry points.
//
// Each subsystem holds its own callbacks:
//   module/Module.cpp       InitModule, ExitModule, the version functions; MODU's
//                           constructor; the page's registration, which opens it
//   overlay/FusOverlay.cpp  clbkSimulationStart (the overlay made, the settings
//                           loaded), clbkSimulationEnd, clbkPostStep (its text)
//   overlay/FusLayout.cpp   LayoutFusOverlay
//   wind/PreStep.cpp        clbkPreStep: the wind's force on the focus vessel
//   settings/Settings.cpp   clbkFocusChanged, SaveSettings, LoadSettings, and the
//                           page's StoreStatus
//   module/Galeboard.cpp    the page's constructor and destructor
//   mfd/Display.cpp         the page's drawing (Update)
//   mfd/Controls.cpp        the page's controls (ConsumeKeyBuffered, ConsumeButton,
//                           ButtonLabel, ButtonMenu)
#pragma once

#include <cstdint>

#include "Orbitersdk.h"

class MODU : public oapi::Module {
 public:
  explicit MODU(HINSTANCE hDLL);
  ~MODU() override;

  void clbkSimulationStart(RenderMode mode) override;
  void clbkSimulationEnd() override;
  void clbkPreStep(double simt, double simdt, double mjd) override;
  void clbkPostStep(double simt, double simdt, double mjd) override;
  void clbkFocusChanged(OBJHANDLE new_focus, OBJHANDLE old_focus) override;

  // Writes the current settings to the section of vessel's class and body.
  void SaveSettings(VESSEL* vessel);
  // Reads the settings of the focus vessel's section, if there is one.
  void LoadSettings();
  // Places, sizes and colours the two overlay annotations.
  void LayoutFusOverlay();

  double lastFusUpdate = 0.0;       // s, simulation time of the last overlay refresh
  DWORD viewW = 0;                  // viewport width [pixels]
  DWORD viewH = 0;                  // viewport height [pixels]
  VESSEL* vessel = nullptr;         // the focus vessel
  OBJHANDLE atmBody;                // body the wind model was set up for; -1: none
  double surfaceDensity = 0.0;      // kg/m^3 at the surface of atmBody
  int32_t DisRest = 1;              // 1: no wind force while landed
  int32_t FUSoo = 1;                // 1: overlay shown
  NOTEHANDLE hFusLabels = nullptr;  // overlay label column
  NOTEHANDLE hFusValues = nullptr;  // overlay value column
  int32_t FUScol = 0;               // index into fusColours
  VECTOR3 fusColours[4];            // overlay colours, RGB 0..1
  int32_t FUSsize = 5;              // overlay size in tenths, 1..10
};

// The "no body" value of MODU::atmBody.
inline OBJHANDLE NoBody() { return reinterpret_cast<OBJHANDLE>(static_cast<intptr_t>(-1)); }

constexpr int kSettingsPathSize = 260;

// Full path of the settings file; empty when the platform gave no usable path.
extern char settingsPath[kSettingsPathSize];
extern MODU* moduleInstance;
extern int32_t modeId;
