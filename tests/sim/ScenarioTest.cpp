// The scenario format: what a good file gives, and the message a bad one gets.
#include <gtest/gtest.h>

#include "tools/galeboard-sim/Scenario.h"

namespace {

constexpr char kGood[] = R"(# a comment line
title Two craft
body Earth radius 6371000 atmosphere earth1976
body Moon radius 1737400                       # no atmosphere
body Test radius 6e6 atmosphere exponential 1.2 8000 100000
vessel GL-01 class Glider1 mass 450 body Earth altitude 800 heading 90 pitch -2 airspeed 28 trim 8
vessel LD-1 class Lander1 body Moon airspeed 0 -6 1 landed
focus LD-1
viewport 1024 768
camera external
cockpit virtual
hud none
display left size 300 200 char 9 15
display right vessel GL-01
duration 30
step 0.1
at 2 key left E w 0x11 31
at 2.05 click right 2 right
at 1 focus GL-01
at 30 store left
at 4 altitude LD-1 250000
at 5 attitude GL-01 180 10
at 6 hud surface
)";

TEST(ScenarioParse, ReadsEveryStatementOfTheFormat) {
  sim::Scenario s;
  sim::ScenarioErrors e;
  ASSERT_TRUE(sim::ParseScenario(kGood, "good.scn", &s, &e)) << (e.messages.empty() ? "" : e.messages[0]);
  EXPECT_EQ(s.title, "Two craft");
  ASSERT_EQ(s.bodies.size(), 3u);
  EXPECT_EQ(s.bodies[0].atmosphere, sim::AtmosphereKind::Earth1976);
  EXPECT_EQ(s.bodies[1].atmosphere, sim::AtmosphereKind::None);
  EXPECT_EQ(s.bodies[2].atmosphere, sim::AtmosphereKind::Exponential);
  EXPECT_EQ(s.bodies[2].scaleHeight, 8000.0);
  ASSERT_EQ(s.vessels.size(), 2u);
  const sim::VesselSpec& g = s.vessels[0];
  EXPECT_EQ(g.className, "Glider1");
  EXPECT_EQ(g.mass, 450.0);
  EXPECT_EQ(g.heading, 90.0);
  EXPECT_EQ(g.pitch, -2.0);
  EXPECT_EQ(g.airspeed.z, 28.0);
  EXPECT_EQ(g.trim, 8.0);
  EXPECT_TRUE(s.vessels[1].landed);
  EXPECT_EQ(s.vessels[1].airspeed.y, 0.0) << "a landed vessel does not move";
  EXPECT_EQ(s.focus, "LD-1");
  EXPECT_EQ(s.viewW, 1024u);
  EXPECT_FALSE(s.cameraInternal);
  EXPECT_EQ(s.cockpit, 3);
  EXPECT_EQ(s.hud, 0);
  ASSERT_EQ(s.displays.size(), 2u);
  EXPECT_EQ(s.displays[0].charHeight, 15u);
  EXPECT_EQ(s.displays[1].vessel, "GL-01");
  EXPECT_EQ(s.Steps(), 300);
  // In time order, same times in file order.
  ASSERT_EQ(s.timeline.size(), 7u);
  EXPECT_EQ(s.timeline[0].kind, sim::ActionKind::Focus);
  EXPECT_EQ(s.timeline[1].kind, sim::ActionKind::Key);
  EXPECT_EQ(s.timeline[1].keys, (std::vector<uint32_t>{0x12, 0x11, 0x11, 31}));
  EXPECT_EQ(s.timeline[1].step, 20);
  EXPECT_EQ(s.timeline[2].kind, sim::ActionKind::Click);
  EXPECT_EQ(s.timeline[2].event, 2);
  EXPECT_EQ(s.timeline[2].step, 21) << "an action runs before the first step that starts at or after its time";
  EXPECT_EQ(s.timeline.back().kind, sim::ActionKind::Store);
  EXPECT_EQ(s.timeline.back().step, 300) << "at the end: after the last step";
}

struct BadCase {
  const char* name;
  const char* text;
  const char* message;  // the whole first message
};

class ScenarioRejects : public ::testing::TestWithParam<BadCase> {};

TEST_P(ScenarioRejects, NamesFileLineAndWhatIsWrong) {
  sim::Scenario s;
  sim::ScenarioErrors e;
  ASSERT_FALSE(sim::ParseScenario(GetParam().text, "bad.scn", &s, &e));
  ASSERT_FALSE(e.messages.empty());
  EXPECT_EQ(e.messages[0], GetParam().message);
}

#define VESSEL "body B radius 1000\nvessel V class C body B\n"

INSTANTIATE_TEST_SUITE_P(
    Cases, ScenarioRejects,
    ::testing::Values(
        BadCase{"UnknownStatement", VESSEL "fly away\n",
                "bad.scn:3: unknown statement 'fly' (expected title, body, vessel, focus, viewport, camera, cockpit, "
                "hud, display, duration, step or at)"},
        BadCase{"NotANumber", "body B radius big\n", "bad.scn:1: radius: 'big' is not a number"},
        BadCase{"OutOfRange", VESSEL "vessel W class C body B pitch 95\n",
                "bad.scn:3: pitch 95 is out of range (-90 to 90)"},
        BadCase{"MissingValue", "body B radius\n", "bad.scn:1: radius is missing"},
        BadCase{"BodyWithoutRadius", "body B atmosphere mars\n", "bad.scn:1: body 'B' needs a radius"},
        BadCase{"UnknownAtmosphere", "body B radius 1 atmosphere venus\n",
                "bad.scn:1: atmosphere: 'venus' is not one of none, earth1976, earth-like, mars, exponential, uniform"},
        BadCase{"VesselWithoutClass", "body B radius 1000\nvessel V body B\n", "bad.scn:2: vessel 'V' needs a class"},
        BadCase{"UnknownBody", "vessel V class C body Mars\n", "bad.scn:1: no body named 'Mars'"},
        BadCase{"DuplicateVessel", VESSEL "vessel V class D body B\n",
                "bad.scn:3: vessel 'V' is already declared on line 2"},
        BadCase{"RepeatedDuration", VESSEL "duration 5\nduration 6\n",
                "bad.scn:4: duration is already given on line 3"},
        BadCase{"ZeroStep", VESSEL "step 0\n", "bad.scn:3: step must be more than 0 s"},
        BadCase{"NoVessel", "# nothing\nbody B radius 1\n", "bad.scn:2: the scenario declares no vessel"},
        BadCase{"UnknownFocus", VESSEL "focus W\n", "bad.scn:3: no vessel named 'W'"},
        BadCase{"KeyOnUnknownDisplay", VESSEL "at 1 key mfd E\n", "bad.scn:3: no display named 'mfd'"},
        BadCase{"NotAKey", VESSEL "display d\nat 1 key d E 7x\n",
                "bad.scn:4: '7x' is not a key (a letter A-Z or a scan code 1-255)"},
        BadCase{"UnknownAction", VESSEL "at 1 jump V\n",
                "bad.scn:3: unknown action 'jump' (expected key, click, focus, store, altitude, attitude, airspeed, "
                "land, liftoff, camera, cockpit, hud or snapshot)"},
        BadCase{"ActionAfterTheEnd", VESSEL "duration 10\nat 11 snapshot\n",
                "bad.scn:4: action at 11 s, after the end of the run at 10 s"},
        BadCase{"TrailingWords", VESSEL "focus V now\n", "bad.scn:3: unexpected 'now'"},
        BadCase{"TwoAirspeedNumbers", VESSEL "vessel W class C body B airspeed 1 2\n",
                "bad.scn:3: airspeed takes one number (forward) or three (side up forward)"}),
    [](const ::testing::TestParamInfo<BadCase>& i) { return std::string(i.param.name); });

TEST(ScenarioParse, RejectsABinaryFileAtItsFirstNul) {
  sim::Scenario s;
  sim::ScenarioErrors e;
  const std::string text("body B radius 1\nx\0y\n", 20);
  ASSERT_FALSE(sim::ParseScenario(text, "bad.scn", &s, &e));
  ASSERT_EQ(e.messages.size(), 1u);
  EXPECT_EQ(e.messages[0], "bad.scn:2: not a text file (NUL byte)");
}

TEST(ScenarioParse, ReportsEveryProblemInLineOrder) {
  sim::Scenario s;
  sim::ScenarioErrors e;
  ASSERT_FALSE(sim::ParseScenario("focus X\nbody B radius -1\nvessel V class C body B mass 0\n", "f", &s, &e));
  ASSERT_EQ(e.messages.size(), 4u);
  EXPECT_EQ(e.messages[0], "f:1: no vessel named 'X'");
  EXPECT_EQ(e.messages[1], "f:2: radius -1 is out of range (1 to 1e+12)");
  EXPECT_EQ(e.messages[2], "f:3: mass must be more than 0 kg");
  EXPECT_EQ(e.messages[3], "f:3: the scenario declares no vessel") << "at the last line";
}

TEST(ScenarioParse, OverriddenDurationStillChecksTheTimeline) {
  sim::Scenario s;
  sim::ScenarioErrors e;
  ASSERT_TRUE(sim::ParseScenario(VESSEL "duration 100\nat 50 snapshot\n", "f", &s, &e));
  std::string error;
  EXPECT_FALSE(sim::OverrideTiming(&s, 10.0, 0.1, "--duration 10 --step 0.1", &error));
  EXPECT_EQ(error, "f:4: action at 50 s, after the end of the run at 10 s");
  EXPECT_TRUE(sim::OverrideTiming(&s, 200.0, 0.5, "--duration 200 --step 0.5", &error));
  EXPECT_EQ(s.timeline[0].step, 100);
}

TEST(ScenarioKeys, LettersAndScanCodesBothWays) {
  EXPECT_EQ(sim::KeyCode("E"), 0x12u);
  EXPECT_EQ(sim::KeyCode("e"), 0x12u);
  EXPECT_EQ(sim::KeyCode("M"), 0x32u);
  EXPECT_EQ(sim::KeyCode("0x2D"), 0x2Du);
  EXPECT_EQ(sim::KeyCode("5"), 5u);
  EXPECT_EQ(sim::KeyCode("0"), 0u) << "no key 0";
  EXPECT_EQ(sim::KeyCode("256"), 0u);
  EXPECT_EQ(sim::KeyCode("EE"), 0u);
  EXPECT_EQ(sim::KeyName(0x2D), 'X');
}

}  // namespace
