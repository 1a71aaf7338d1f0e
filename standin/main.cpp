// The stand-in simulator: orbiter.exe of the Microsoft-ABI build. Built with
// the simulator's C++ ABI, with the headless host inside, it exports the SDK
// under the simulator's own names; it loads Modules\Plugin\Galeboard.dll from
// its own folder as the simulator does, flies it, and checks what the module
// did. It prints a line for each check and exits with 0 when all held.
#include <windows.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Orbitersdk.h"
#include "host/Atmospheres.h"
#include "host/Host.h"
#include "standin/SlotSketchpad.h"

namespace {

int checks = 0;
int failures = 0;

[[gnu::format(printf, 1, 2)]] void Say(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (n <= 0) return;
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

bool Check(bool ok, const char* what) {
  ++checks;
  if (!ok) ++failures;
  Say("%s %s\n", ok ? "ok    " : "FAILED", what);
  return ok;
}

// The folder of this executable, with its closing backslash: the simulator's.
std::string OwnFolder() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, n < MAX_PATH ? n : 0);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

// A key of a section of the settings file, read by Windows itself; -1 when
// missing.
int SettingOf(const std::string& file, const char* section, const char* key) {
  return static_cast<int>(GetPrivateProfileIntA(section, key, -1, file.c_str()));
}

// The page as its rows read, drawn through the simulator's slot order.
std::vector<std::string> DrawPage(ghost::Host& host, int display, bool* onlyTheThreeSlots) {
  standin::SlotSketchpad pad(static_cast<int>(host.display(display).spec.charWidth));
  host.Draw(display, pad.AsSketchpad());
  *onlyTheThreeSlots = pad.wrongSlots().empty() && !pad.calls().empty();
  std::vector<std::string> rows;
  for (const ghost::TextRow& row : ghost::RowsOf(pad.calls())) rows.push_back(row.Joined());
  return rows;
}

bool IsFinite(const VECTOR3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace

int main() {
  const std::string folder = OwnFolder();
  const std::string library = folder + "Modules\\Plugin\\Galeboard.dll";
  const std::string settings = folder + "Modules\\Plugin\\Galeboard.cfg";
  DeleteFileA(settings.c_str());  // each flight starts without settings
  Say("stand-in simulator: %s\n", library.c_str());

  // The runtime the module is built with, whose objects are in this program
  // too: msvcrt.dll's formatting with C99's snprintf result.
  char cut[4];
  Check(std::snprintf(cut, sizeof cut, "%d", 123456) == 6 && std::strcmp(cut, "123") == 0,
        "the runtime's snprintf: C99's result, the text cut and terminated");

  ghost::World world;
  ghost::Body& earth = ghost::AddEarth(world);
  ghost::Vessel& glider = world.AddVessel("GL-01", "Glider", &earth);
  glider.altitude = 800.0;
  glider.mass = 1000.0;
  glider.pitch = 0.05;
  glider.heading = 1.0;
  glider.airspeed = _V(1.5, -0.5, 42.0);
  ghost::Vessel& lander = world.AddVessel("LN-02", "Lander", &earth);
  lander.altitude = 300.0;
  lander.mass = 2000.0;
  world.focus = &glider;
  ghost::Host host(world);

  // Loading: the library's attach code announces it with InitLib, then the
  // simulator calls InitModule.
  std::string error;
  ghost::ModuleLibrary* lib = host.LoadModule(library, &error);
  if (!Check(lib != nullptr, "Modules\\Plugin\\Galeboard.dll loads, its imports from orbiter.exe resolved")) {
    Say("       %s\n", error.c_str());
    return 1;
  }
  Check(host.initLibCalls().size() == 1 && host.initLibCalls()[0] == lib->instance(),
        "its attach code called InitLib with the library's handle");
  Check(lib->getModuleVersion && lib->getModuleVersion() == 100830, "GetModuleVersion gives 100830 (Date2Int)");
  Check(lib->moduleDate && std::strcmp(lib->moduleDate(), "Oct 11 2015") == 0, "ModuleDate gives \"Oct 11 2015\"");
  Check(host.modules().size() == 1, "InitModule registered one module object");
  Check(host.modes().size() == 1 && host.modes()[0].name == "Galeboard" && host.modes()[0].key == OAPI_KEY_W,
        "InitModule registered the MFD mode \"Galeboard\" on key W");

  // Simulation start: the focus report, then clbkSimulationStart, each
  // through the module object's vtable.
  host.StartSimulation();
  Check(world.annotations.size() == 2, "clbkSimulationStart made the overlay's two annotations");
  bool calm = true;
  for (int i = 0; i < 20; ++i) {
    host.Step(0.05);
    calm = calm && glider.forces.empty();
  }
  Check(calm, "with the wind off no step applies a force");

  // The page: the mode's message procedure with message 4 and the open-mode
  // record; then keys and buttons through the page's vtable.
  const int display = host.OpenDisplay(ghost::DisplaySpec{}, &glider, "Galeboard");
  if (!Check(display >= 0, "message 4 with the open-mode record made a page")) return 1;
  MFD* page = host.display(display).page;
  const MFDBUTTONMENU* menu = nullptr;
  Check(std::strcmp(page->ButtonLabel(0), "E/D") == 0 && std::strcmp(page->ButtonLabel(11), "siz") == 0 &&
            page->ButtonLabel(12) == nullptr,
        "the page's button labels");
  Check(page->ButtonMenu(&menu) == 12 && menu && std::strcmp(menu[2].line1, "Global wind level") == 0,
        "the page's button menu");
  bool consumed = host.Key(display, OAPI_KEY_E);
  for (int i = 0; i < 3; ++i) consumed = host.Key(display, OAPI_KEY_W) && consumed;
  Check(consumed, "keys E and W three times: wind on, global wind 3");
  consumed = host.Click(display, 3, PANEL_MOUSE_RBDOWN) && host.Click(display, 3, PANEL_MOUSE_RBDOWN);
  consumed = host.Click(display, 4, PANEL_MOUSE_RBDOWN) && consumed;
  consumed = host.Click(display, 6, PANEL_MOUSE_LBDOWN) && consumed;
  Check(consumed, "buttons LOC twice and SHR right, DSR left: local wind 2, shear 1, wind when at rest");
  Check(!host.Key(display, OAPI_KEY_M), "key M recolours the overlay and leaves the key to the simulator");

  // Flight with wind: one finite force on every step.
  int forced = 0;
  bool finite = true;
  const int steps = 200;
  for (int i = 0; i < steps; ++i) {
    host.Step(0.05);
    if (glider.forces.size() == 1 && IsFinite(glider.forces[0].F) &&
        (glider.forces[0].F.x != 0.0 || glider.forces[0].F.y != 0.0 || glider.forces[0].F.z != 0.0))
      ++forced;
    for (const ghost::AppliedForce& f : glider.forces) finite = finite && IsFinite(f.F) && IsFinite(f.r);
  }
  Say("       %d of %d steps with a force; the last (%.3f, %.3f, %.3f) N\n", forced, steps,
      glider.forces.empty() ? 0.0 : glider.forces[0].F.x, glider.forces.empty() ? 0.0 : glider.forces[0].F.y,
      glider.forces.empty() ? 0.0 : glider.forces[0].F.z);
  Check(forced == steps && finite, "with the wind on every step applies one finite, non-zero force");
  const ghost::Annotation& values = world.annotations.back();
  Check(values.text && values.text->size() == 18, "the overlay shows three airspeed lines");

  // The page drawn through the simulator's Sketchpad slots.
  bool slotsOk = false;
  std::vector<std::string> rows = DrawPage(host, display, &slotsOk);
  for (std::string row : rows) {
    // The page's unit has the single-byte superscript two.
    if (size_t two = row.find('\xB2'); two != std::string::npos) row.replace(two, 1, "^2");
    Say("       | %s\n", row.c_str());
  }
  Check(slotsOk, "the page drew through Sketchpad slots 5, 9 and 12 only");
  const char* const expected[] = {
      "Galeboard",      "Status: enabled", "When ship at rest: enabled",        "Global wind: 3",
      "Local wind : 2", "Wind shear : 1",  "Wind shear period:   5.0(stp: 0.5)"};
  bool rowsOk = rows.size() == 10;
  for (size_t i = 0; rowsOk && i < sizeof expected / sizeof expected[0]; ++i) rowsOk = rows[i] == expected[i];
  rowsOk = rowsOk && rows[7].rfind("Wind alt limit= ", 0) == 0 && std::atoi(rows[7].c_str() + 16) > 0 &&
           rows[8] == "Wind acceleration [m/s\xB2]" && rows[9].rfind("F:", 0) == 0 &&
           rows[9].find("nan") == std::string::npos;
  Check(rowsOk, "the page's rows: title, status, levels, period, limit, acceleration");

  // StoreStatus writes the glider's section; Windows reads it back.
  host.StoreStatus(display);
  struct Expected {
    const char* key;
    int value;
  };
  const Expected stored[] = {{"WindOn", 1}, {"DisRest", 0},   {"WNDlvl", 3}, {"TURlvl", 2}, {"SHRlvl", 1},
                             {"SHRt", 10},  {"SHRt_stpI", 0}, {"FUSoo", 1},  {"FUScol", 1}, {"FUSsize", 5}};
  bool written = true;
  for (const Expected& e : stored) written = written && SettingOf(settings, "GliderEarth", e.key) == e.value;
  Check(written, "StoreStatus wrote the section [GliderEarth] with the page's settings");

  // A focus change saves the old vessel's section and loads the new one's.
  host.SetFocus(&lander);
  host.Key(display, OAPI_KEY_W);  // global wind 4, now the lander's
  host.SetFocus(&glider);
  Check(SettingOf(settings, "LanderEarth", "WNDlvl") == 4, "the focus change wrote the section [LanderEarth]");
  // Each save writes into a copy beside the file, which takes the file's place.
  WIN32_FILE_ATTRIBUTE_DATA copy;
  Check(!GetFileAttributesExA((settings.substr(0, settings.size() - 1) + "~").c_str(), GetFileExInfoStandard, &copy),
        "the saves left no copy beside the settings file");
  rows = DrawPage(host, display, &slotsOk);
  Check(rows.size() > 3 && rows[3] == "Global wind: 3", "the glider's section was read back on its focus");

  // End and unload: the simulator deletes the page and the module object,
  // then frees the library, whose detach code calls ExitModule.
  host.EndSimulation();
  Check(world.annotations.empty(), "clbkSimulationEnd deleted the annotations");
  host.UnloadModules();
  Check(host.modes().empty(), "unloading ran ExitModule, which unregistered the mode");
  Check(GetModuleHandleA("Galeboard.dll") == nullptr, "the library is unloaded");

  Say("stand-in simulator: %d checks, %d failed\n", checks, failures);
  return failures == 0 ? 0 : 1;
}
