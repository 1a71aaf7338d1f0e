// galeboard-sim run as a program on short scenarios: its exit status, its
// messages, the trace, the pictures and where the settings go.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TestSupport.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::ScratchFolder;
using testing_support::WriteFile;

constexpr int kBadInput = 2;

struct Result {
  int status = -1;
  std::string out, err;
};

// Runs the tool; one that has not ended after timeout is killed (status 128 +
// SIGKILL), so that a hanging run fails its test instead of stopping them all.
Result RunTool(const std::vector<std::string>& args, const ScratchFolder& scratch,
               std::chrono::seconds timeout = std::chrono::seconds(120)) {
  const std::string tool = (testing_support::ProgramFolder() / "galeboard-sim").string();
  const std::string out = (scratch / "stdout.txt").string(), err = (scratch / "stderr.txt").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<std::string> all = {tool, "--no-progress"};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  Result r;
  if (posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  r.out = ReadFile(out);
  r.err = ReadFile(err);
  return r;
}

// The trace as rows of named fields.
struct Trace {
  std::vector<std::string> columns;
  std::vector<std::map<std::string, std::string>> rows;
  double Number(size_t row, const std::string& column) const { return std::stod(rows[row].at(column)); }
};

std::vector<std::string> SplitCsv(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream s(line);
  std::string f;
  while (std::getline(s, f, ',')) fields.push_back(f);
  return fields;
}

Trace ReadTrace(const fs::path& csv) {
  Trace t;
  std::stringstream in(ReadFile(csv));
  std::string line;
  if (std::getline(in, line)) t.columns = SplitCsv(line);
  while (std::getline(in, line)) {
    const std::vector<std::string> f = SplitCsv(line);
    std::map<std::string, std::string> row;
    for (size_t i = 0; i < f.size() && i < t.columns.size(); ++i) row[t.columns[i]] = f[i];
    t.rows.push_back(row);
  }
  return t;
}

// Two gliders over a uniform atmosphere: GL-01 climbs at 5 m/s, the focus
// passes to GL-02 at 1 s, the wind goes on from the page at 0.5 s.
constexpr char kShort[] = R"(title short
body Earth radius 6371000 atmosphere uniform 1.2 50000
vessel GL-01 class Glider1 mass 400 body Earth altitude 500 heading 0 pitch 30 airspeed 10
vessel GL-02 class Glider2 mass 800 body Earth altitude 700 heading 90 airspeed 20
display mfd
duration 2
step 0.1
at 0.5 key mfd E W W S
at 1   focus GL-02
at 2   store mfd
)";

class EndToEnd : public ::testing::Test {
 protected:
  fs::path Scenario(const std::string& text, const std::string& name = "test.scn") {
    const fs::path p = scratch_ / name;
    WriteFile(p, text);
    return p;
  }
  std::string Out() const { return (scratch_ / "out").string(); }
  std::string Root() const { return (scratch_ / "root").string(); }
  ScratchFolder scratch_;
};

struct BadRun {
  const char* name;
  const char* scenario;  // null: no scenario file
  std::vector<std::string> args;
  const char* message;  // in stderr; "%f" stands for the scenario's path
};

class EndToEndRejects : public EndToEnd, public ::testing::WithParamInterface<BadRun> {};

// Every byte a terminal shows as it is: no control character but the line
// breaks between messages.
bool Printable(const std::string& text) {
  for (unsigned char c : text)
    if ((c < 0x20 && c != '\n') || c == 0x7F) return false;
  return true;
}

TEST_P(EndToEndRejects, ExitsWithStatusTwoAndWritesNothing) {
  const BadRun& c = GetParam();
  // The case's own words last, so that they are the ones that count.
  std::vector<std::string> args = {"--out", Out(), "--root", Root()};
  args.insert(args.end(), c.args.begin(), c.args.end());
  std::string file;
  if (c.scenario) {
    file = Scenario(c.scenario).string();
    args.push_back(file);
  }
  const Result r = RunTool(args, scratch_);
  std::string expected = c.message;
  if (auto at = expected.find("%f"); at != std::string::npos) expected.replace(at, 2, file);
  EXPECT_EQ(r.status, kBadInput) << r.err;
  EXPECT_NE(r.err.find(expected), std::string::npos) << "stderr: " << r.err;
  EXPECT_TRUE(r.out.empty()) << r.out;
  EXPECT_FALSE(fs::exists(Out())) << "nothing written for bad input";
  EXPECT_FALSE(fs::exists(Root()));
  EXPECT_TRUE(Printable(r.err)) << "control characters reach the terminal: " << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EndToEndRejects,
    ::testing::Values(
        BadRun{"UnknownStatement",
               "body B radius 1000\nvessel V class C body B\nwobble\n",
               {},
               "%f:3: unknown statement 'wobble'"},
        BadRun{"BadNumber",
               "body B radius 1000\nvessel V class C body B altitude high\n",
               {},
               "%f:2: altitude: 'high' is not a number"},
        BadRun{"UnknownDisplay",
               "body B radius 1000\nvessel V class C body B\nat 1 key left E\n",
               {},
               "%f:3: no display named 'left'"},
        BadRun{"DurationOptionCutsTheTimeline",
               "body B radius 1000\nvessel V class C body B\nduration 60\nat 30 snapshot\n",
               {"--duration", "10"},
               "%f:4: action at 30 s, after the end of the run at 10 s"},
        BadRun{"BadOption", nullptr, {"--step", "fast"}, "--step: 'fast' is not a number of seconds above 0"},
        BadRun{"UnknownOption", nullptr, {"--wind"}, "unknown option --wind"},
        BadRun{"MissingScenario", nullptr, {"/nonexistent/flight.scn"}, "cannot read /nonexistent/flight.scn"},
        BadRun{"EmptyScenarioName", nullptr, {""}, "the scenario's file name is empty"},
        BadRun{"EmptyRoot", nullptr, {"--root", ""}, "--root needs a folder"},
        BadRun{"EmptyModule", nullptr, {"--module", ""}, "--module needs a file"},
        BadRun{"EmptyPlotter", nullptr, {"--gnuplot", ""}, "--gnuplot needs a program"},
        BadRun{
            "StepAboveTheScenariosLimit", nullptr, {"--step", "11"}, "--step 11 is out of range (above 0, at most 10)"},
        BadRun{"DurationAboveTheScenariosLimit",
               nullptr,
               {"--duration", "1e300"},
               "--duration 1e+300 is out of range (above 0, at most 1e+09)"},
        BadRun{"TooManyStepsFromTheOptions",
               nullptr,
               {"--duration", "1e9", "--step", "0.01"},
               "--duration 1e+09 --step 0.01: a run of 1e+09 s in steps of 0.01 s is not between 1 and 4e9 steps"},
        BadRun{"TooManyStepsInTheScenario",
               "body B radius 1000\nvessel V class C body B\nduration 1e9\nstep 1e-3\n",
               {},
               "%f:4: a run of 1e+09 s in steps of 0.001 s is not between 1 and 4e9 steps"},
        BadRun{"SeedNotANumber",
               nullptr,
               {"--seed", "seven"},
               "--seed: 'seven' is not a whole number from 0 to 18446744073709551615"},
        BadRun{"SeedBelowZero",
               nullptr,
               {"--seed", "-1"},
               "--seed: '-1' is not a whole number from 0 to 18446744073709551615"},
        BadRun{"SeedAboveTheLargest",
               nullptr,
               {"--seed", "18446744073709551616"},
               "--seed: '18446744073709551616' is not a whole number from 0 to 18446744073709551615"},
        BadRun{"ControlCharactersShownEscaped",
               "body B radius 1000\nvessel V class C body B\nwob\x1b[31mble\a\n",
               {},
               "%f:3: unknown statement 'wob\\x1b[31mble\\x07'"}),
    [](const ::testing::TestParamInfo<BadRun>& i) { return std::string(i.param.name); });

TEST_F(EndToEnd, TraceHasOneRowPerStepForTheFocusVessel) {
  const Result r = RunTool({Scenario(kShort).string(), "--out", Out(), "--root", Root()}, scratch_);
  ASSERT_EQ(r.status, 0) << r.err;
  const Trace t = ReadTrace(fs::path(Out()) / "trace.csv");
  EXPECT_EQ(t.columns,
            (std::vector<std::string>{
                "t",         "vessel",  "body",       "in_atmosphere", "landed",     "altitude", "heading_deg",
                "pitch_deg", "density", "wind",       "force_x",       "force_y",    "force_z",  "accel_x",
                "accel_y",   "accel_z", "airspeed_x", "airspeed_y",    "airspeed_z", "east",     "north"}));
  ASSERT_EQ(t.rows.size(), 20u);
  for (size_t i = 0; i < t.rows.size(); ++i) {
    const double time = t.Number(i, "t");
    EXPECT_NEAR(time, 0.1 * static_cast<double>(i + 1), 1e-9);
    EXPECT_EQ(t.rows[i].at("vessel"), time <= 1.0 + 1e-9 ? "GL-01" : "GL-02") << "focus passes at 1 s";
    EXPECT_EQ(t.rows[i].at("body"), "Earth");
    EXPECT_EQ(t.rows[i].at("in_atmosphere"), "1");
    EXPECT_DOUBLE_EQ(t.Number(i, "density"), 1.2);
    if (time < 0.5) {
      EXPECT_EQ(t.rows[i].at("wind"), "0") << "the wind is off until key E at " << time;
    }
    const bool force = t.Number(i, "force_x") != 0 || t.Number(i, "force_y") != 0 || t.Number(i, "force_z") != 0;
    EXPECT_EQ(t.rows[i].at("wind"), force ? "1" : "0") << "wind acting is a force applied, at " << time;
  }
  // Without wind the flight model keeps the nominal flight: 5 m/s up at 30 degrees pitch.
  EXPECT_NEAR(t.Number(2, "altitude"), 501.5, 1e-6);
  EXPECT_NEAR(t.Number(19, "heading_deg"), 90.0, 1e-9);
  EXPECT_NE(r.out.find("20 steps of 0.1 s"), std::string::npos) << r.out;
}

TEST_F(EndToEnd, WindActsAfterTheKeyAsForcePerMass) {
  const Result r = RunTool({Scenario(kShort).string(), "--out", Out(), "--root", Root()}, scratch_);
  ASSERT_EQ(r.status, 0) << r.err;
  const Trace t = ReadTrace(fs::path(Out()) / "trace.csv");
  size_t acting = 0;
  for (size_t i = 0; i < t.rows.size(); ++i) {
    if (t.rows[i].at("wind") != "1") continue;
    ++acting;
    const double mass = t.rows[i].at("vessel") == "GL-01" ? 400.0 : 800.0;
    for (const char* axis : {"x", "y", "z"})
      EXPECT_NEAR(t.Number(i, std::string("accel_") + axis), t.Number(i, std::string("force_") + axis) / mass, 1e-5)
          << axis << " at " << t.rows[i].at("t");
  }
  EXPECT_GT(acting, 0u) << "the wind acted on no step";
  EXPECT_NE(r.out.find("wind          acted on"), std::string::npos) << r.out;
}

TEST_F(EndToEnd, ModuleIsInstalledInTheRootAndLoadedFromThere) {
  const fs::path built = testing_support::ModulePath();
  fs::path beside = built;
  beside.replace_extension(".cfg");
  const bool cfgBefore = fs::exists(beside);
  const Result r = RunTool({Scenario(kShort).string(), "--out", Out(), "--root", Root()}, scratch_);
  ASSERT_EQ(r.status, 0) << r.err;
  const fs::path plugin = fs::path(Root()) / "Modules" / "Plugin";
  EXPECT_TRUE(fs::is_regular_file(plugin / "Galeboard.dll"));
  EXPECT_NE(r.out.find("module        " + (plugin / "Galeboard.dll").string()), std::string::npos) << r.out;
  EXPECT_EQ(fs::exists(beside), cfgBefore) << "no settings file appears in the build tree";
  // The library, its settings file, and the lock file of the writes to it.
  for (const fs::directory_entry& e : fs::directory_iterator(plugin))
    EXPECT_TRUE(e.path().filename() == "Galeboard.dll" || e.path().filename() == "Galeboard.cfg" ||
                e.path().filename() == "Galeboard.cfg.lock")
        << e.path();
}

TEST_F(EndToEnd, SecondRunFindsTheSettingsTheFirstSaved) {
  // A section of two keys: a load fills in the other eight, a save writes all ten.
  const fs::path cfg = fs::path(Root()) / "Modules" / "Plugin" / "Galeboard.cfg";
  fs::create_directories(cfg.parent_path());
  WriteFile(cfg, "[Glider1Earth]\nWNDlvl=7\nSHRt=25\n");
  const std::string scenario = Scenario(R"(body Earth radius 6371000 atmosphere earth1976
vessel GL-01 class Glider1 body Earth altitude 500 airspeed 20
display mfd
duration 1
at 1 store mfd
)")
                                   .string();
  Result r = RunTool({scenario, "--out", Out(), "--root", Root()}, scratch_);
  ASSERT_EQ(r.status, 0) << r.err;
  std::string first = ReadFile(cfg);
  for (const char* key : {"WindOn=", "DisRest=", "WNDlvl=7", "TURlvl=", "SHRlvl=", "SHRt=25",
                          "SHRt_stpI=", "FUSoo=", "FUScol=", "FUSsize="})
    EXPECT_NE(first.find(key), std::string::npos) << key << " in\n" << first;
  EXPECT_EQ(ReadFile(fs::path(Out()) / "Galeboard.cfg"), first) << "the output folder has the file as written";

  r = RunTool({scenario, "--out", Out(), "--root", Root()}, scratch_);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(cfg), first) << "the second run loaded what the first saved, and saved it back";
  // The keys the section held stay where they stood; the others follow them.
  EXPECT_NE(r.out.find("[Glider1Earth] WNDlvl=7 SHRt=25 WindOn="), std::string::npos) << r.out;
}

TEST_F(EndToEnd, PicturesAndSummaryLandInTheOutputFolder) {
  const Result r = RunTool({Scenario(kShort).string(), "--out", Out(), "--root", Root()}, scratch_);
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* name : {"trace.csv", "mfd-mfd.png", "view.png", "summary.txt"}) {
    const std::string head = ReadFile(fs::path(Out()) / name).substr(0, 8);
    EXPECT_FALSE(head.empty()) << name;
    if (std::string(name).ends_with(".png")) {
      EXPECT_EQ(head, "\x89PNG\r\n\x1a\n") << name;
    }
  }
  EXPECT_NE(r.out.find("| "), std::string::npos) << "the page as text: " << r.out;
  EXPECT_NE(r.out.find("Galeboard"), std::string::npos);
  EXPECT_NE(ReadFile(fs::path(Out()) / "summary.txt").find("steps of 0.1 s"), std::string::npos);
}

TEST_F(EndToEnd, MissingGnuplotSkipsOnlyThePlot) {
  const Result r = RunTool(
      {Scenario(kShort).string(), "--out", Out(), "--root", Root(), "--gnuplot", "/nonexistent/gnuplot"}, scratch_);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("gnuplot not found"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(fs::path(Out()) / "wind.png"));
  EXPECT_TRUE(fs::exists(fs::path(Out()) / "trace.csv"));
  EXPECT_TRUE(fs::exists(fs::path(Out()) / "view.png"));
}

bool GnuplotInPath() {
  std::stringstream dirs(std::getenv("PATH") ? std::getenv("PATH") : "");
  std::string dir;
  while (std::getline(dirs, dir, ':'))
    if (access((fs::path(dir.empty() ? "." : dir) / "gnuplot").c_str(), X_OK) == 0) return true;
  return false;
}

// gnuplot's own syntax in the title and a quote and a line break in the
// folder's name: the plot is drawn with them as they stand, and nothing of
// them is run.
TEST_F(EndToEnd, PlotTakesTitleAndPathsAsTheyStand) {
  if (!GnuplotInPath()) GTEST_SKIP() << "no gnuplot";
  const fs::path marker = scratch_ / "ran";
  const std::string title = "title a_b^c {x} '; system('touch " + marker.string() + "') # \\";
  const fs::path out = scratch_ / "it's\nplot";
  const Result r = RunTool(
      {Scenario(title + "\n" + std::string(kShort).substr(12)).string(), "--out", out.string(), "--root", Root()},
      scratch_);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(out / "wind.png").substr(0, 8), "\x89PNG\r\n\x1a\n") << r.err;
  EXPECT_FALSE(fs::exists(out / "wind.gnuplot.log")) << ReadFile(out / "wind.gnuplot.log");
  EXPECT_FALSE(fs::exists(marker)) << "the title was run as a command";
  EXPECT_EQ(ReadFile(out / "shear.csv").substr(0, 15), "low,high,swing\n");
}

TEST_F(EndToEnd, NoOutputWritesNoOutputFolder) {
  const Result r = RunTool({Scenario(kShort).string(), "--no-output", "--out", Out(), "--root", Root()}, scratch_);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(fs::exists(Out()));
  EXPECT_NE(r.out.find("steps/s"), std::string::npos) << r.out;
}

// The wind of kShort (global, local) with its shear too: every part of the
// model that draws random numbers draws them.
constexpr char kWindy[] = R"(body Earth radius 6371000 atmosphere earth1976
vessel GL-01 class Glider1 mass 450 body Earth altitude 800 heading 90 airspeed 28 trim 4
display mfd
duration 120
at 1 key mfd E W W W S S S X X X X X O O O O O O O O
)";

// One seed, one flight: the clocks the module seeds its generator from are
// set from the seed, so that the trace is the same to the byte; another seed
// flies other wind.
TEST_F(EndToEnd, SameSeedFliesTheSameTraceByteForByte) {
  const std::string scenario = Scenario(kWindy).string();
  const auto fly = [&](const std::string& seed, const std::string& out) {
    const Result r = RunTool({scenario, "--seed", seed, "--out", (scratch_ / out).string()}, scratch_);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("seed          " + seed + " (replay with --seed " + seed + ")"), std::string::npos) << r.out;
    return ReadFile(scratch_ / out / "trace.csv");
  };
  const std::string first = fly("7", "a"), again = fly("7", "b"), other = fly("8", "c");
  ASSERT_GT(first.size(), 1000u);
  EXPECT_TRUE(first == again) << "seed 7 flew two different traces";
  EXPECT_FALSE(first == other) << "seeds 7 and 8 flew the same trace";
}

// A run without --seed takes one from the real clocks and says which, so that
// a flight in which something odd happened can be flown again.
TEST_F(EndToEnd, RunWithoutSeedPrintsTheSeedThatReplaysIt) {
  const std::string scenario = Scenario(kWindy).string();
  const Result first = RunTool({scenario, "--out", (scratch_ / "a").string()}, scratch_);
  ASSERT_EQ(first.status, 0) << first.err;
  const std::string mark = "(replay with --seed ";
  const size_t at = first.out.find(mark);
  ASSERT_NE(at, std::string::npos) << first.out;
  const std::string seed = first.out.substr(at + mark.size(), first.out.find(')', at) - at - mark.size());
  const Result again = RunTool({scenario, "--seed", seed, "--out", (scratch_ / "b").string()}, scratch_);
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_TRUE(ReadFile(scratch_ / "a" / "trace.csv") == ReadFile(scratch_ / "b" / "trace.csv")) << "seed " << seed;
}

// A title and names that would move the cursor, change the terminal's title
// or ring its bell are shown escaped in the summary.
TEST_F(EndToEnd, SummaryShowsTheScenariosControlCharactersEscaped) {
  const std::string scenario = "title a\x1b]0;gone\a b\n" + std::string(kShort).substr(12) + "at 1 key mfd \x1b[2J\n";
  const Result r = RunTool({Scenario(scenario).string(), "--out", Out(), "--root", Root()}, scratch_);
  ASSERT_EQ(r.status, kBadInput) << "the key is no key: " << r.err;
  EXPECT_TRUE(Printable(r.err)) << r.err;
  const std::string fine = std::string(kShort).substr(12) + "at 1 snapshot\n";
  const Result ok =
      RunTool({Scenario("title a\x1b]0;gone\a b\n" + fine).string(), "--out", Out(), "--root", Root()}, scratch_);
  ASSERT_EQ(ok.status, 0) << ok.err;
  EXPECT_NE(ok.out.find("Galeboard flight: a\\x1b]0;gone\\x07 b"), std::string::npos) << ok.out;
  EXPECT_TRUE(Printable(ok.out)) << ok.out;
  EXPECT_TRUE(Printable(ReadFile(fs::path(Out()) / "summary.txt")));
}

// Without --root the module still needs a root to be loaded from; it is a
// temporary one, gone when the run ends.
TEST_F(EndToEnd, NoOutputWithoutRootWritesNothingAnywhere) {
  const fs::path tmp = scratch_ / "tmp";
  fs::create_directories(tmp);
  const char* const before = std::getenv("TMPDIR");
  const std::string saved = before ? before : "";
  setenv("TMPDIR", tmp.c_str(), 1);
  const Result r = RunTool({Scenario(kShort).string(), "--no-output", "--out", Out()}, scratch_);
  if (before)
    setenv("TMPDIR", saved.c_str(), 1);
  else
    unsetenv("TMPDIR");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("wind          acted on"), std::string::npos) << "the module flew: " << r.out;
  EXPECT_FALSE(fs::exists(Out())) << "no root inside the output folder";
  EXPECT_TRUE(fs::is_empty(tmp)) << "the temporary root is gone";
}

// A module that cannot be loaded is refused before it is installed: a root
// shared between runs keeps the module it had.
TEST_F(EndToEnd, FailingModuleLeavesTheInstalledOneAsItWas) {
  const fs::path scenario = Scenario(kShort);
  ASSERT_EQ(RunTool({scenario.string(), "--no-output", "--root", Root()}, scratch_).status, 0);
  const fs::path plugin = fs::path(Root()) / "Modules" / "Plugin";
  const std::string installed = ReadFile(plugin / "Galeboard.dll");
  std::vector<fs::path> files;
  for (const fs::directory_entry& e : fs::directory_iterator(plugin)) files.push_back(e.path());

  const fs::path bad = Scenario("not a library\n", "Bad.dll");
  const Result r = RunTool({scenario.string(), "--no-output", "--root", Root(), "--module", bad.string()}, scratch_);
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("cannot load " + bad.string()), std::string::npos) << r.err;
  EXPECT_TRUE(ReadFile(plugin / "Galeboard.dll") == installed) << "the installed module was replaced";
  std::vector<fs::path> after;
  for (const fs::directory_entry& e : fs::directory_iterator(plugin)) after.push_back(e.path());
  std::sort(files.begin(), files.end());
  std::sort(after.begin(), after.end());
  EXPECT_EQ(after, files) << "nothing left behind in the plug-in folder";
}

// A FIFO (or a device) in the scenario's place would block the run, or be
// read for ever.
TEST_F(EndToEnd, ScenarioThatIsNoRegularFileIsRefusedAtOnce) {
  const fs::path fifo = scratch_ / "flight.scn";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const Result r = RunTool({fifo.string(), "--out", Out(), "--root", Root()}, scratch_, std::chrono::seconds(20));
  EXPECT_EQ(r.status, kBadInput) << r.err;
  EXPECT_NE(r.err.find("cannot read " + fifo.string() + ": not a regular file"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(Out()));
}

TEST_F(EndToEnd, WithoutTheModuleTheHostFliesAlone) {
  const Result r = RunTool({Scenario(kShort).string(), "--no-module", "--out", Out(), "--root", Root()}, scratch_);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("not loaded"), std::string::npos) << r.out;
  EXPECT_FALSE(fs::exists(fs::path(Root()) / "Modules")) << "nothing installed";
  const Trace t = ReadTrace(fs::path(Out()) / "trace.csv");
  ASSERT_EQ(t.rows.size(), 20u);
  for (const auto& row : t.rows) EXPECT_EQ(row.at("wind"), "0");
}

TEST_F(EndToEnd, EveryShippedScenarioFlies) {
  int flown = 0;
  for (const fs::directory_entry& e : fs::directory_iterator(GALEBOARD_SCENARIOS)) {
    if (e.path().extension() != ".scn") continue;
    ++flown;
    const Result r = RunTool({e.path().string(), "--no-output", "--root", Root()}, scratch_);
    EXPECT_EQ(r.status, 0) << e.path() << "\n" << r.err;
  }
  EXPECT_GE(flown, 4) << "the four scenarios of the documentation";
}

}  // namespace
