// The headless host: loads plug-in modules the way the simulator does and
// drives them through their callbacks over a World. One Host at a time; the
// host functions of the SDK act on it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Orbitersdk.h"
#include "host/ModuleLibrary.h"
#include "host/RecordingSketchpad.h"
#include "host/World.h"

namespace ghost {

struct RegisteredMode {
  int id;
  std::string name;
  DWORD key;
  void* context;
  decltype(MFDMODESPECEX::msgproc) msgproc;
};

struct DisplaySpec {
  DWORD width = 256, height = 256;  // pixels
  DWORD charWidth = 8, charHeight = 13;
};

struct Display {
  DisplaySpec spec;
  Vessel* vessel = nullptr;
  MFD* page = nullptr;  // owned by the host
};

// The system clocks the module reads as seed material. The host sets them as
// one sets an operating system's: from then on the time-stamp counter counts
// up from counter by counterStep at every reading, and the calendar time and
// the tick count stand where they were set.
struct ClockSetting {
  uint64_t counter = 0;      // the time-stamp counter's next reading
  uint64_t counterStep = 1;  // how far it moves from one reading to the next
  int64_t calendarTime = 0;  // s since 1970, as _time64 gives it
  uint32_t tickCount = 0;    // ms since system start, as GetTickCount gives it
};

// The clock setting a seed stands for: the same seed gives the same setting,
// so that a module seeded from it draws the same numbers again.
OAPIFUNC ClockSetting ClocksFromSeed(uint64_t seed);

class OAPIFUNC Host {
 public:
  explicit Host(World& world);
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // The host the SDK functions act on, or null.
  static Host* Current();

  World& world() { return world_; }

  // Sets the system's clocks until the host ends or sets them again. Off
  // Windows the platform layer is the system and the setting reaches every
  // module loaded into the process; on Windows the clocks are the system's
  // own: false, and nothing is set.
  bool SetClocks(const ClockSetting& clocks);

  // Opens a module library by path, finds its entry points and calls
  // InitModule with the library's instance handle. Returns the library, or
  // null with the reason in error.
  ModuleLibrary* LoadModule(const std::string& path, std::string* error = nullptr);
  // Closes every display, deletes the registered module objects, then unloads
  // the libraries (whose detach code runs ExitModule).
  void UnloadModules();

  // Simulation callbacks.
  void SetFocus(Vessel* v);  // clbkFocusChanged(new, old)
  void StartSimulation();    // focus report for the focus vessel, then clbkSimulationStart
  void EndSimulation();      // clbkSimulationEnd
  // One step: forces cleared, pre-step, the world's motion (if set), post-step.
  void Step(double dt);
  double simt() const { return simt_; }
  void SetSimTime(double t) { simt_ = t; }
  std::function<void(World&, double dt)> motion;  // flight model, optional

  // MFD displays. OpenDisplay opens the mode (by name; the first registered
  // when empty) on a new display for a vessel; returns its index, or -1 when
  // the mode is not registered or made no page.
  int OpenDisplay(const DisplaySpec& spec, Vessel* vessel, const std::string& mode = "");
  void CloseDisplay(int index);
  Display& display(int index) { return displays_[static_cast<size_t>(index)]; }
  bool Key(int display, DWORD key);
  // event: PANEL_MOUSE_LBDOWN and/or PANEL_MOUSE_RBDOWN, passed on unchanged.
  bool Click(int display, int button, int event);
  void StoreStatus(int display);
  // Has the page drawn on a RecordingSketchpad with the display's character
  // width, or on the given sketchpad; returns the text calls made.
  std::vector<TextCall> Draw(int display);
  void Draw(int display, oapi::Sketchpad& skp);

  // What modules asked of the host.
  const std::vector<RegisteredMode>& modes() const { return modes_; }
  const std::vector<oapi::Module*>& modules() const { return modules_; }
  const std::vector<HINSTANCE>& initLibCalls() const { return initLibCalls_; }
  int date2IntCalls() const { return date2IntCalls_; }

  // Host side of the SDK functions.
  void RegisterModule(oapi::Module* m);
  int RegisterMode(const MFDMODESPECEX& spec);
  bool UnregisterMode(int id);
  void NoteInitLib(HINSTANCE h) { initLibCalls_.push_back(h); }
  void NoteDate2Int() { ++date2IntCalls_; }
  // Character size of the display whose page is being made.
  DisplaySpec openingDisplay;

 private:
  World& world_;
  double simt_ = 0.0;
  int nextModeId_ = 1;
  std::vector<std::unique_ptr<ModuleLibrary>> libraries_;
  std::vector<oapi::Module*> modules_;
  std::vector<RegisteredMode> modes_;
  std::vector<Display> displays_;
  std::vector<HINSTANCE> initLibCalls_;
  int date2IntCalls_ = 0;
  [[maybe_unused]] bool clocksSet_ = false;  // set and read off Windows only
};

}  // namespace ghost
