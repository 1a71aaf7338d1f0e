#include "host/Host.h"

#include <algorithm>
#include <cassert>

#ifndef _WIN32
#include "platform/SystemClocks.h"
#endif

namespace ghost {

namespace {
Host* current = nullptr;
}

Host::Host(World& world) : world_(world) {
  assert(!current && "one host at a time");
  current = this;
}

Host::~Host() {
  UnloadModules();
#ifndef _WIN32
  if (clocksSet_) RunSystemClocksFree();
#endif
  current = nullptr;
}

bool Host::SetClocks(const ClockSetting& clocks) {
#ifdef _WIN32
  (void)clocks;
  return false;
#else
  SetSystemClocks(clocks.counter, clocks.counterStep, clocks.calendarTime, clocks.tickCount);
  clocksSet_ = true;
  return true;
#endif
}

namespace {

// SplitMix64 (Steele, Lea and Flood 2014): each call a well-stirred word.
uint64_t NextMixed(uint64_t& state) {
  uint64_t z = (state += 0x9E3779B97F4A7C15u);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

}  // namespace

ClockSetting ClocksFromSeed(uint64_t seed) {
  // Every bit the module's mix reads comes from the seed: the counter's high
  // and low words, and the calendar time plus the tick count.
  uint64_t state = seed;
  ClockSetting c;
  c.counter = NextMixed(state) >> 8;  // a counter of some years at a few GHz
  c.counterStep = 100;                // cycles between two quick readings
  c.calendarTime = 1000000000 + static_cast<int64_t>(NextMixed(state) % 1000000000u);  // 2001 to 2033
  c.tickCount = static_cast<uint32_t>(NextMixed(state));
  return c;
}

Host* Host::Current() { return current; }

ModuleLibrary* Host::LoadModule(const std::string& path, std::string* error) {
  auto lib = std::make_unique<ModuleLibrary>(path);
  if (!lib->loaded() || !lib->initModule) {
    if (error) *error = lib->loaded() ? "no InitModule export in " + lib->path() : lib->error();
    return nullptr;
  }
  lib->initModule(lib->instance());
  libraries_.push_back(std::move(lib));
  return libraries_.back().get();
}

void Host::UnloadModules() {
  for (size_t i = 0; i < displays_.size(); ++i) CloseDisplay(static_cast<int>(i));
  displays_.clear();
  for (oapi::Module* m : modules_) delete m;
  modules_.clear();
  while (!libraries_.empty()) {
    libraries_.back()->Close();
    libraries_.pop_back();
  }
}

void Host::SetFocus(Vessel* v) {
  Vessel* old = world_.focus;
  world_.focus = v;
  for (oapi::Module* m : modules_) m->clbkFocusChanged(Handle(v), old ? Handle(old) : nullptr);
}

void Host::StartSimulation() {
  for (oapi::Module* m : modules_) m->clbkFocusChanged(world_.focus ? Handle(world_.focus) : nullptr, nullptr);
  for (oapi::Module* m : modules_) m->clbkSimulationStart(oapi::Module::RENDER_NONE);
}

void Host::EndSimulation() {
  for (oapi::Module* m : modules_) m->clbkSimulationEnd();
}

void Host::Step(double dt) {
  for (Vessel& v : world_.vessels) v.forces.clear();
  for (oapi::Module* m : modules_) m->clbkPreStep(simt_, dt, 0.0);
  if (motion) motion(world_, dt);
  simt_ += dt;
  for (oapi::Module* m : modules_) m->clbkPostStep(simt_, dt, 0.0);
}

int Host::OpenDisplay(const DisplaySpec& spec, Vessel* vessel, const std::string& mode) {
  auto it = std::find_if(modes_.begin(), modes_.end(),
                         [&](const RegisteredMode& m) { return mode.empty() || m.name == mode; });
  if (it == modes_.end() || !it->msgproc) return -1;
  MFDMODESPECEX modeSpec{nullptr, it->key, it->context, it->msgproc};
  MFDMODEOPENSPEC open{static_cast<int>(spec.width), static_cast<int>(spec.height), &modeSpec};
  openingDisplay = spec;
  UINT index = static_cast<UINT>(displays_.size());
  auto result = it->msgproc(OAPI_MSG_MFD_OPENEDEX, index, reinterpret_cast<WPARAM>(&open),
                            reinterpret_cast<LPARAM>(vessel ? vessel->iface.get() : nullptr));
  openingDisplay = DisplaySpec{};
  if (!result) return -1;
  displays_.push_back(Display{spec, vessel, reinterpret_cast<MFD*>(result)});
  return static_cast<int>(index);
}

void Host::CloseDisplay(int index) {
  Display& d = display(index);
  delete d.page;
  d.page = nullptr;
}

bool Host::Key(int index, DWORD key) {
  MFD* page = display(index).page;
  return page && page->ConsumeKeyBuffered(key);
}

bool Host::Click(int index, int button, int event) {
  MFD* page = display(index).page;
  return page && page->ConsumeButton(button, event);
}

void Host::StoreStatus(int index) {
  if (MFD* page = display(index).page) page->StoreStatus();
}

std::vector<TextCall> Host::Draw(int index) {
  RecordingSketchpad skp(static_cast<int>(display(index).spec.charWidth));
  Draw(index, skp);
  return skp.calls();
}

void Host::Draw(int index, oapi::Sketchpad& skp) {
  if (auto* page = dynamic_cast<MFD2*>(display(index).page)) page->Update(&skp);
}

void Host::RegisterModule(oapi::Module* m) { modules_.push_back(m); }

int Host::RegisterMode(const MFDMODESPECEX& spec) {
  RegisteredMode m{nextModeId_++, spec.name ? spec.name : "", spec.key, spec.context, spec.msgproc};
  modes_.push_back(m);
  return m.id;
}

bool Host::UnregisterMode(int id) {
  auto it = std::find_if(modes_.begin(), modes_.end(), [id](const RegisteredMode& m) { return m.id == id; });
  if (it == modes_.end()) return false;
  modes_.erase(it);
  return true;
}

}  // namespace ghost
