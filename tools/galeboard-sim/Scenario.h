// A scenario: the world to fly, the screen and displays, how long, and a
// timeline of what the pilot does. The text format is described in
// scenarios/README.md; ParseScenario reads it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Orbitersdk.h"

namespace sim {

enum class AtmosphereKind { None, Earth1976, Mars, Exponential, Uniform };

struct BodySpec {
  std::string name;
  double radius = 0.0;  // m
  AtmosphereKind atmosphere = AtmosphereKind::None;
  double density = 0.0;      // kg/m^3 at the surface (exponential, uniform)
  double scaleHeight = 0.0;  // m (exponential)
  double limit = 0.0;        // m, top of the atmosphere (exponential, uniform)
  int line = 0;
};

struct Vec3 {
  double x = 0.0, y = 0.0, z = 0.0;  // vessel frame: side, up, forward
};

struct VesselSpec {
  std::string name;
  std::string className;
  std::string body;
  double mass = 1000.0;   // kg
  double altitude = 0.0;  // m
  double heading = 0.0;   // degrees, 0 north, 90 east
  double pitch = 0.0;     // degrees, nose up positive
  Vec3 airspeed;          // m/s, vessel frame
  bool landed = false;
  double trim = 0.0;  // s, flight model's restoring time; 0 none
  int line = 0;
};

struct DisplayDecl {
  std::string name;
  uint32_t width = 256, height = 256;       // pixels
  uint32_t charWidth = 8, charHeight = 13;  // pixels
  std::string vessel;                       // empty: the display belongs to the focus vessel and follows it
  int line = 0;
};

enum class ActionKind {
  Key,       // keys on a display
  Click,     // a button press on a display
  Focus,     // the input focus to a vessel
  Store,     // the host asks a display's page to store its status
  Altitude,  // a vessel moved to an altitude (in or out of an atmosphere)
  Attitude,  // heading and pitch of a vessel
  Airspeed,  // nominal airspeed of a vessel
  Land,
  Liftoff,
  Camera,
  Cockpit,
  Hud,
  Snapshot,  // pictures of the displays and the view at this time
};

struct Action {
  double time = 0.0;  // s
  int64_t step = 0;   // runs before this step (0-based); steps == the end
  ActionKind kind = ActionKind::Snapshot;
  std::string target;          // display or vessel name
  std::vector<uint32_t> keys;  // Key: scan codes, pressed in order
  int button = 0;              // Click
  int event = 0;               // Click: PANEL_MOUSE_LBDOWN / RBDOWN flags
  double a = 0.0, b = 0.0;     // Altitude (a), Attitude (a heading, b pitch, degrees)
  Vec3 vector;                 // Airspeed
  int mode = 0;                // Camera (1 internal), Cockpit, Hud
  std::string text;            // the statement as written, for reports
  int line = 0;
};

struct Scenario {
  std::string file;  // as named in messages
  std::string title;
  std::vector<BodySpec> bodies;
  std::vector<VesselSpec> vessels;
  std::string focus;  // empty: the first vessel
  uint32_t viewW = 1280, viewH = 800;
  bool cameraInternal = true;
  int cockpit = COCKPIT_GENERIC;
  int hud = HUD_SURFACE;
  std::vector<DisplayDecl> displays;
  double duration = 60.0;        // s
  double step = 0.02;            // s
  std::vector<Action> timeline;  // in time order; same times in file order

  int64_t Steps() const;
  double Duration() const;  // s, of the steps flown: Steps() steps of step
  const BodySpec* FindBody(std::string_view name) const;
  const VesselSpec* FindVessel(std::string_view name) const;
  const DisplayDecl* FindDisplay(std::string_view name) const;
};

// Every problem found, each as "file:line: what is wrong", with its control
// characters escaped.
struct ScenarioErrors {
  std::vector<std::string> messages;
};

// Reads a scenario; on bad input returns false and fills errors (all the
// problems found, in line order). file is the name used in the messages.
bool ParseScenario(std::string_view text, const std::string& file, Scenario* out, ScenarioErrors* errors);

// The longest run and the longest step a scenario or the command line may
// ask for [s].
constexpr double kMaxDuration = 1e9;
constexpr double kMaxStep = 10.0;

// Overrides of the scenario's own duration and step (from the command line),
// checked the same way; origin names them in the message when the run's
// length is wrong ("--duration 5 --step 0.1"), an action's line when one
// comes after the end.
bool OverrideTiming(Scenario* s, double duration, double step, const std::string& origin, std::string* error);

// The scan code of a key name (a letter A-Z, or a number), or 0.
uint32_t KeyCode(std::string_view name);
// The letter of a scan code, or '?'.
char KeyName(uint32_t code);

}  // namespace sim
