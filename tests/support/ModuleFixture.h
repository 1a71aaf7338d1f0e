// A module object inside a headless host, with its settings file in a
// scratch folder; the global wind state reset for every test.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "host/Atmospheres.h"
#include "host/Host.h"
#include "module/Module.h"
#include "module/WindState.h"
#include "tests/support/TestSupport.h"

class ModuleFixture : public ::testing::Test {
 protected:
  ModuleFixture() {
    WindState = WindStateRecord{};
    WindAccel = _V(0.0, 0.0, 0.0);
    std::snprintf(settingsPath, sizeof settingsPath, "%s", CfgPath().c_str());
    // The host owns and deletes it, as it owns a module's.
    module = new MODU(nullptr);
    host.RegisterModule(module);
    moduleInstance = module;
  }
  ~ModuleFixture() override {
    settingsPath[0] = '\0';
    moduleInstance = nullptr;
  }

  std::string CfgPath() const { return (folder / "Galeboard.cfg").string(); }
  std::string FileText() const { return testing_support::ReadFile(CfgPath()); }
  void SetFileText(const std::string& text) const { testing_support::WriteFile(CfgPath(), text); }

  testing_support::ScratchFolder folder;
  ghost::World world;
  ghost::Body& mars = ghost::AddMars(world);
  ghost::Body& earth = ghost::AddEarth(world);
  ghost::Body& moon = ghost::AddMoon(world);
  ghost::Host host{world};
  MODU* module = nullptr;
};
