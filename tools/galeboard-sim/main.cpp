// galeboard-sim: loads Galeboard.dll into the headless host and shows that the
// module is alive: its registration, version, settings path and page.
#include <cstdio>
#include <filesystem>
#include <string>

#include "Host.h"

namespace {

std::filesystem::path ModuleBesideProgram(const char* argv0) {
  return std::filesystem::absolute(argv0).parent_path() / "Galeboard.dll";
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path module = argc > 1 ? std::filesystem::path(argv[1]) : ModuleBesideProgram(argv[0]);

  ghost::World world;
  ghost::Body& earth = world.AddBody("Earth", 6.371e6);
  earth.atmosphere = ghost::ExponentialAtmosphere(1.225, 8500.0, 200000.0);
  ghost::Vessel& glider = world.AddVessel("GL-01", "Glider1", &earth);
  glider.altitude = 800.0;

  ghost::Host host(world);
  std::string error;
  ghost::ModuleLibrary* lib = host.LoadModule(module.string(), &error);
  if (!lib) {
    std::fprintf(stderr, "galeboard-sim: cannot load %s: %s\n", module.string().c_str(), error.c_str());
    return 1;
  }
  std::printf("Loaded   %s\n", lib->path().c_str());
  std::printf("Version  %d (module date %s)\n", lib->getModuleVersion ? lib->getModuleVersion() : 0,
              lib->moduleDate ? lib->moduleDate() : "?");
  for (const ghost::RegisteredMode& m : host.modes())
    std::printf("MFD mode \"%s\", selection key %u, mode id %d\n", m.name.c_str(), static_cast<unsigned>(m.key), m.id);
  std::filesystem::path cfg = module;
  cfg.replace_extension(".cfg");
  std::printf("Settings %s\n", cfg.string().c_str());

  host.StartSimulation();
  int d = host.OpenDisplay(ghost::DisplaySpec{}, &glider);
  if (d < 0) {
    std::fprintf(stderr, "galeboard-sim: the module made no page\n");
    return 1;
  }
  std::printf("\nThe page on a 256x256 display:\n");
  for (const ghost::TextCall& t : host.Draw(d)) std::printf("  (%3d,%3d) %s\n", t.x, t.y, t.text.c_str());
  host.EndSimulation();
  return 0;
}
