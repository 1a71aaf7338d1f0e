// The SDK's functions and base classes, implemented over the current Host and
// its World.
#include <cstdlib>
#include <cstring>

#include "host/Host.h"

// The host's export, which the SDK headers do not declare.
OAPIFUNC int Date2Int(char* date);

using ghost::Host;

namespace {

ghost::World* CurrentWorld() { return Host::Current() ? &Host::Current()->world() : nullptr; }

ghost::Vessel* Focus() {
  ghost::World* w = CurrentWorld();
  return w ? w->focus : nullptr;
}

ghost::Object* Obj(OBJHANDLE h) { return static_cast<ghost::Object*>(h); }

ghost::Body* AsBody(OBJHANDLE h) {
  ghost::Object* o = Obj(h);
  return o && o->kind == ghost::Object::Kind::Body ? static_cast<ghost::Body*>(o) : nullptr;
}

ghost::Vessel* AsVessel(OBJHANDLE h) {
  ghost::Object* o = Obj(h);
  return o && o->kind == ghost::Object::Kind::Vessel ? static_cast<ghost::Vessel*>(o) : nullptr;
}

ghost::Annotation* Note(NOTEHANDLE h) { return static_cast<ghost::Annotation*>(h); }

}  // namespace

// Module glue --------------------------------------------------------------

void InitLib(HINSTANCE hModule) {
  if (Host* h = Host::Current()) h->NoteInitLib(hModule);
}

int Date2Int(char* date) {
  if (Host* h = Host::Current()) h->NoteDate2Int();
  static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  // "Mmm dd yyyy"; anything else gives 0.
  if (!date || std::strlen(date) < 3) return 0;
  int month = 0;
  while (month < 12 && std::strncmp(date, months[month], 3) != 0) ++month;
  char* end = date + 3;
  const long day = std::strtol(end, &end, 10);
  const long year = std::strtol(end, &end, 10);
  if (month == 12 || day <= 0 || year <= 0) return 0;
  return static_cast<int>((year % 100) * 10000 + (month + 1) * 100 + day);
}

void oapiRegisterModule(oapi::Module* module) {
  if (Host* h = Host::Current()) h->RegisterModule(module);
}

int oapiRegisterMFDMode(MFDMODESPECEX& spec) { return Host::Current() ? Host::Current()->RegisterMode(spec) : 0; }

bool oapiUnregisterMFDMode(int mode) { return Host::Current() && Host::Current()->UnregisterMode(mode); }

// Focus vessel and objects ---------------------------------------------------

BOOL oapiGetFocusHeading(double* heading) {
  ghost::Vessel* v = Focus();
  if (!v || !heading) return 0;
  *heading = v->heading;
  return 1;
}

BOOL oapiGetFocusShipAirspeedVector(VECTOR3* v) {
  ghost::Vessel* f = Focus();
  if (!f || !v) return 0;
  *v = f->airspeed;
  return 1;
}

void oapiGetObjectName(OBJHANDLE hObj, char* name, int n) {
  if (!name || n <= 0) return;
  ghost::Object* o = Obj(hObj);
  const std::string& s = o ? o->name : std::string();
  size_t len = (std::min)(s.size(), static_cast<size_t>(n - 1));
  std::memcpy(name, s.data(), len);
  name[len] = '\0';
}

double oapiGetSize(OBJHANDLE hObj) {
  ghost::Body* b = AsBody(hObj);
  return b ? b->radius : 0.0;
}

const ATMCONST* oapiGetPlanetAtmConstants(OBJHANDLE hPlanet) {
  ghost::Body* b = AsBody(hPlanet);
  return b && b->atmosphere ? &b->atmosphere->constants : nullptr;
}

void oapiGetPlanetAtmParams(OBJHANDLE hPlanet, double rad, ATMPARAM* prm) {
  if (!prm) return;
  ghost::Body* b = AsBody(hPlanet);
  *prm = b ? b->AtmParamsAt(rad - b->radius) : ATMPARAM{0.0, 0.0, 0.0};
}

VESSEL* oapiGetVesselInterface(OBJHANDLE hVessel) {
  ghost::Vessel* v = AsVessel(hVessel);
  return v ? v->iface.get() : nullptr;
}

// Screen ---------------------------------------------------------------------

void oapiGetViewportSize(DWORD* w, DWORD* h, DWORD* bpp) {
  ghost::World* world = CurrentWorld();
  if (w) *w = world ? world->viewW : 0;
  if (h) *h = world ? world->viewH : 0;
  if (bpp) *bpp = 32;
}

bool oapiCameraInternal() { return CurrentWorld() && CurrentWorld()->cameraInternal; }
int oapiCockpitMode() { return CurrentWorld() ? CurrentWorld()->cockpitMode : COCKPIT_GENERIC; }
int oapiGetHUDMode() { return CurrentWorld() ? CurrentWorld()->hudMode : HUD_NONE; }

NOTEHANDLE oapiCreateAnnotation(bool exclusive, double size, const VECTOR3& col) {
  ghost::World* world = CurrentWorld();
  if (!world) return nullptr;
  ghost::Annotation& a = world->annotations.emplace_back();
  a.exclusive = exclusive;
  a.size = size;
  a.colour = col;
  return &a;
}

void oapiAnnotationSetPos(NOTEHANDLE hNote, double x1, double y1, double x2, double y2) {
  if (ghost::Annotation* a = Note(hNote)) {
    a->x1 = x1;
    a->y1 = y1;
    a->x2 = x2;
    a->y2 = y2;
  }
}

void oapiAnnotationSetSize(NOTEHANDLE hNote, double size) {
  if (ghost::Annotation* a = Note(hNote)) a->size = size;
}

void oapiAnnotationSetColour(NOTEHANDLE hNote, const VECTOR3& col) {
  if (ghost::Annotation* a = Note(hNote)) a->colour = col;
}

void oapiAnnotationSetText(NOTEHANDLE hNote, char* note) {
  if (ghost::Annotation* a = Note(hNote)) {
    if (note)
      a->text = std::string(note);
    else
      a->text.reset();
  }
}

bool oapiDelAnnotation(NOTEHANDLE hNote) {
  ghost::World* world = CurrentWorld();
  if (!world || !hNote) return false;
  for (auto it = world->annotations.begin(); it != world->annotations.end(); ++it)
    if (&*it == Note(hNote)) {
      world->annotations.erase(it);
      return true;
    }
  return false;
}

// VESSEL ---------------------------------------------------------------------

VESSEL::VESSEL(OBJHANDLE hVessel, int fmodel) : vessel(hVessel), flightmodel(static_cast<short>(fmodel)), version(0) {}

char* VESSEL::GetClassName() const { return AsVessel(vessel)->className.data(); }
DWORD VESSEL::GetFlightStatus() const { return AsVessel(vessel)->flightStatus; }
double VESSEL::GetMass() const { return AsVessel(vessel)->mass; }
double VESSEL::GetAltitude() const { return AsVessel(vessel)->altitude; }
double VESSEL::GetPitch() const { return AsVessel(vessel)->pitch; }
// The SDK's signature, with its const on the returned handle.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wignored-qualifiers"
const OBJHANDLE VESSEL::GetAtmRef() const {
  ghost::Body* b = AsVessel(vessel)->AtmRef();
  return b ? ghost::Handle(b) : nullptr;
}
#pragma GCC diagnostic pop
double VESSEL::GetAtmDensity() const { return AsVessel(vessel)->AtmDensity(); }
void VESSEL::AddForce(const VECTOR3& F, const VECTOR3& r) const {
  AsVessel(vessel)->forces.push_back(ghost::AppliedForce{F, r});
}

// Module base ------------------------------------------------------------------

namespace oapi {

ModuleNV::ModuleNV(HINSTANCE hDLL) : version(0), hModule(hDLL) {}
Module::Module(HINSTANCE hDLL) : ModuleNV(hDLL) {}
Module::~Module() = default;
void Module::clbkSimulationStart(RenderMode) {}
void Module::clbkSimulationEnd() {}
void Module::clbkPreStep(double, double, double) {}
void Module::clbkPostStep(double, double, double) {}
void Module::clbkTimeJump(double, double, double) {}
void Module::clbkFocusChanged(OBJHANDLE, OBJHANDLE) {}
void Module::clbkTimeAccChanged(double, double) {}
void Module::clbkNewVessel(OBJHANDLE) {}
void Module::clbkDeleteVessel(OBJHANDLE) {}
void Module::clbkVesselJump(OBJHANDLE) {}
void Module::clbkPause(bool) {}
bool Module::clbkProcessMouse(UINT, DWORD, DWORD, DWORD) { return false; }
bool Module::clbkProcessKeyboardImmediate(char*, bool) { return false; }
bool Module::clbkProcessKeyboardBuffered(DWORD, char*, bool) { return false; }

Sketchpad::Sketchpad(SURFHANDLE s) : surf(s) {}
Sketchpad::~Sketchpad() = default;
Font* Sketchpad::SetFont(Font*) { return nullptr; }
Pen* Sketchpad::SetPen(Pen*) { return nullptr; }
Brush* Sketchpad::SetBrush(Brush*) { return nullptr; }
void Sketchpad::SetTextAlign(TAlign_horizontal, TAlign_vertical) {}
DWORD Sketchpad::SetTextColor(DWORD) { return 0; }
DWORD Sketchpad::SetBackgroundColor(DWORD) { return 0; }
void Sketchpad::SetBackgroundMode(BkgMode) {}
DWORD Sketchpad::GetCharSize() { return 0; }
DWORD Sketchpad::GetTextWidth(const char*, int) { return 0; }
void Sketchpad::SetOrigin(int, int) {}
void Sketchpad::GetOrigin(int* x, int* y) const {
  if (x) *x = 0;
  if (y) *y = 0;
}
bool Sketchpad::Text(int, int, const char*, int) { return false; }

}  // namespace oapi

// MFD base -------------------------------------------------------------------------

MFD::MFD(DWORD w, DWORD h, VESSEL* vessel) : W(w), H(h), pV(vessel), instr(nullptr) {
  const ghost::DisplaySpec spec = Host::Current() ? Host::Current()->openingDisplay : ghost::DisplaySpec{};
  cw = spec.charWidth;
  ch = spec.charHeight;
}
MFD::~MFD() = default;
bool MFD::ConsumeKeyBuffered(DWORD) { return false; }
bool MFD::ConsumeKeyImmediate(char*) { return false; }
bool MFD::ConsumeButton(int, int) { return false; }
char* MFD::ButtonLabel(int) { return nullptr; }
int MFD::ButtonMenu(const MFDBUTTONMENU**) const { return 0; }
void MFD::WriteStatus(FILEHANDLE) const {}
void MFD::ReadStatus(FILEHANDLE) {}
void MFD::StoreStatus() const {}
void MFD::RecallStatus() {}

bool MFD2::Update(oapi::Sketchpad*) { return false; }

// Fixed palette, 0xBBGGRR; the dim shade is the bright one at half strength.
//   index  colour  bright    dim
//   0      green   0x00FF00  0x008000
//   1      yellow  0x00FFFF  0x008080
//   2      white   0xFFFFFF  0x808080
//   3      red     0x0000FF  0x000080
//   4      blue    0xFF8000  0x804000
// Intensity 0 is bright, any other dim; an index above 4 gives the green.
DWORD MFD2::GetDefaultColour(DWORD colidx, DWORD intens) const {
  static const DWORD palette[5][2] = {
      {0x00FF00, 0x008000}, {0x00FFFF, 0x008080}, {0xFFFFFF, 0x808080}, {0x0000FF, 0x000080}, {0xFF8000, 0x804000},
  };
  if (colidx > 4) colidx = 0;
  return palette[colidx][intens ? 1 : 0];
}
