// The flight: the scenario's world in the headless host, the module loaded
// into it, the flight model as the host's motion, and the timeline played
// step by step. What each step did goes to a StepSink.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "host/FlightModel.h"
#include "host/Host.h"
#include "host/World.h"
#include "tools/galeboard-sim/Scenario.h"

namespace sim {

// The focus vessel after one step.
struct StepSample {
  int64_t step = 0;
  double t = 0.0;  // s, simulation time at the end of the step
  const ghost::Vessel* vessel = nullptr;
  bool inAtmosphere = false;
  bool landed = false;
  // kg/m^3 at the vessel; only filled when Run is asked for every density or
  // the wind acted, else 0.
  double density = 0.0;
  double surfaceDensity = 0.0;  // kg/m^3 at the surface of the vessel's body
  // The module applied a force on this step. Its state is out of sight inside
  // the library; a force is what shows that the wind acted.
  bool wind = false;
  VECTOR3 force{{0.0, 0.0, 0.0}};  // N, vessel frame, the sum of what was added
  VECTOR3 accel{{0.0, 0.0, 0.0}};  // m/s^2, force / mass
  const ghost::FlightModel::Track* track = nullptr;
};

class Flight;

class StepSink {
 public:
  virtual ~StepSink() = default;
  virtual void OnStep(const StepSample& s) = 0;
  // A snapshot action, or the end of the run (final = true; called by the
  // driver after Run).
  virtual void OnSnapshot(Flight& /*flight*/, double /*t*/, bool /*final*/) {}
};

// One line of the timeline's record: what was done and what the host said.
struct ActionRecord {
  double t;
  std::string what;
  std::string result;
};

class Flight {
 public:
  explicit Flight(const Scenario& scenario);
  ~Flight();
  Flight(const Flight&) = delete;
  Flight& operator=(const Flight&) = delete;

  // Loads the module the way the simulator does, by its path.
  bool LoadModule(const std::filesystem::path& module, std::string* error);
  // Session start: focus report, simulation start, displays opened.
  void Start();
  // Every step of the scenario with its timeline, and the actions set for
  // the end after the last step. allDensities: fill the density of every
  // sample (costs a profile evaluation per step). Returns the wall time of
  // the steps alone [s]: the host's steps (pre-step, flight model,
  // post-step) and the sink's recording of them, without the timeline's
  // actions (key presses, saves of the settings, snapshots).
  double Run(StepSink& sink, bool allDensities, class Progress* progress);
  // Simulation end; the displays are closed and the module unloaded.
  void End();

  const Scenario& scenario() const { return scenario_; }
  ghost::World& world() { return world_; }
  ghost::Host& host() { return *host_; }
  ghost::FlightModel& model() { return model_; }
  bool moduleLoaded() const { return library_ != nullptr; }
  const ghost::ModuleLibrary* library() const { return library_; }

  struct OpenDisplay {
    const DisplayDecl* decl;
    int index;  // host display, -1 when no page was made
  };
  const std::vector<OpenDisplay>& displays() const { return displays_; }
  const std::vector<ActionRecord>& record() const { return record_; }

 private:
  // The focus vessel after step k.
  void Sample(int64_t k, bool allDensities, StepSample* s);
  void Execute(const Action& a, StepSink& sink);
  // Key, Click, Store on a display's page; what the host said.
  std::string PageAction(const Action& a);
  // Focus, Altitude, Attitude, Airspeed, Land, Liftoff; what changed.
  std::string VesselAction(const Action& a, ghost::Vessel& v);
  void OpenDisplays(bool onlyFollowing);
  ghost::Vessel* VesselNamed(const std::string& name);
  OpenDisplay* DisplayNamed(const std::string& name);

  const Scenario& scenario_;
  ghost::World world_;
  std::unique_ptr<ghost::Host> host_;
  ghost::FlightModel model_;
  ghost::ModuleLibrary* library_ = nullptr;
  std::vector<OpenDisplay> displays_;
  std::vector<ActionRecord> record_;
  const ghost::Body* surfaceOf_ = nullptr;  // the body of the last sample's surface density
  bool started_ = false;
  bool ended_ = false;
};

}  // namespace sim
