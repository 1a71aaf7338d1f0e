// Cost of loading and saving one vessel's settings against the size of the
// settings file: 10, 1,000 and 100,000 sections of ten keys, the vessel's own
// section last, where a load finds it only after every other name; and
// against the file's shape: 16 MB and 100 MB in short lines, in one line, or
// in long section names.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "host/Atmospheres.h"
#include "host/Host.h"
#include "module/Module.h"
#include "module/WindState.h"
#include "platform/Platform.h"

namespace {

namespace fs = std::filesystem;

// One set of the ten stored values.
struct Values {
  int32_t windOn, disRest, wndLvl, turLvl, shrLvl, shrT, shrTStpI, fusOo, fusCol, fusSize;
};

// What every other section holds, and two sets for the vessel's own section
// that differ in every key, so that a save of one over the other rewrites
// all ten.
constexpr Values kOthers{1, 1, 3, 2, 0, 10, 0, 1, 0, 5};
constexpr Values kStoredA{1, 0, 7, 3, 2, 25, 1, 0, 2, 8};
constexpr Values kStoredB{0, 1, 4, 6, 9, 40, 2, 1, 3, 6};

std::string SectionText(const std::string& name, const Values& v) {
  char text[256];
  std::snprintf(text, sizeof text,
                "[%s]\r\nWindOn=%d\r\nDisRest=%d\r\nWNDlvl=%d\r\nTURlvl=%d\r\nSHRlvl=%d\r\nSHRt=%d\r\n"
                "SHRt_stpI=%d\r\nFUSoo=%d\r\nFUScol=%d\r\nFUSsize=%d\r\n",
                name.c_str(), v.windOn, v.disRest, v.wndLvl, v.turLvl, v.shrLvl, v.shrT, v.shrTStpI, v.fusOo, v.fusCol,
                v.fusSize);
  return text;
}

std::string ClassName(int64_t index) {
  char text[32];
  std::snprintf(text, sizeof text, "Class%05lld", static_cast<long long>(index));
  return text;
}

void Apply(MODU& module, const Values& v) {
  WindState.WindOn = v.windOn != 0;
  module.DisRest = v.disRest;
  WindState.WNDlvl = v.wndLvl;
  WindState.TURlvl = v.turLvl;
  WindState.SHRlvl = v.shrLvl;
  WindState.SHRt = v.shrT;
  WindState.SHRt_stpI = v.shrTStpI;
  module.FUSoo = v.fusOo;
  module.FUScol = v.fusCol;
  module.FUSsize = v.fusSize;
}

// A folder of its own under the system's temporary folder, removed with
// everything in it at the end.
class ScratchFolder {
 public:
  ScratchFolder() {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; path_.empty(); ++attempt) {
      fs::path candidate =
          fs::temp_directory_path() / ("galeboard-bench-" + std::to_string(stamp) + "-" + std::to_string(attempt));
      if (fs::create_directory(candidate)) path_ = candidate;
    }
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// A settings file of the given number of sections, "[ClassNNNNNEarth]", and
// the module with the focus on a vessel of the last class flying in Earth's
// atmosphere. Everything is made before timing starts.
struct SettingsWorld {
  explicit SettingsWorld(int64_t sections) : SettingsWorld(OtherSections(sections - 1), ClassName(sections - 1), "") {}
  // A file of what goes before the vessel's own section, the section, and
  // what goes after it.
  SettingsWorld(const std::string& before, const std::string& className, const std::string& after)
      : file((folder.path() / "Galeboard.cfg").string()) {
    const std::string text = before + SectionText(className + "Earth", kStoredA) + after;
    std::ofstream(file, std::ios::binary) << text;
    fileBytes = static_cast<int64_t>(text.size());

    WindState = WindStateRecord{};
    vessel.className = className;
    vessel.altitude = 1000.0;
    module = new MODU(nullptr);  // the host owns and deletes it
    moduleInstance = module;
    host.RegisterModule(module);
    module->vessel = oapiGetVesselInterface(ghost::Handle(&vessel));
    std::snprintf(settingsPath, sizeof settingsPath, "%s", file.c_str());
  }
  static std::string OtherSections(int64_t count) {
    std::string text;
    for (int64_t i = 0; i < count; ++i) text += SectionText(ClassName(i) + "Earth", kOthers);
    return text;
  }
  ~SettingsWorld() {
    settingsPath[0] = '\0';
    moduleInstance = nullptr;
  }
  SettingsWorld(const SettingsWorld&) = delete;
  SettingsWorld& operator=(const SettingsWorld&) = delete;

  int StoredInt(const char* key) const {
    std::string section = vessel.className + "Earth";
    return static_cast<int>(GetPrivateProfileIntA(section.c_str(), key, -1, file.c_str()));
  }

  ScratchFolder folder;
  std::string file;
  int64_t fileBytes = 0;
  ghost::World world;
  ghost::Body& earth = ghost::AddEarth(world);
  ghost::Vessel& vessel = world.AddVessel("V", "", &earth);
  ghost::Host host{world};
  MODU* module = nullptr;
};

void Finish(benchmark::State& state, const SettingsWorld& w) {
  state.SetComplexityN(state.range(0));
  state.counters["fileKiB"] = static_cast<double>(w.fileBytes) / 1024.0;
}

// Loads the vessel's section over other settings, as often as the benchmark
// asks.
void TimeLoads(benchmark::State& state, SettingsWorld& w) {
  Apply(*w.module, kStoredB);
  for (auto _ : state) w.module->LoadSettings();
  if (WindState.WNDlvl != kStoredA.wndLvl || WindState.SHRt != kStoredA.shrT)
    state.SkipWithError("the vessel's section was not loaded");
}

// Saves the vessel's settings with every key other than the file holds, so
// that each of the ten writes replaces the whole file.
void TimeSavesOfChangedKeys(benchmark::State& state, SettingsWorld& w) {
  bool b = false;
  for (auto _ : state) {
    b = !b;
    Apply(*w.module, b ? kStoredB : kStoredA);
    w.module->SaveSettings(w.module->vessel);
  }
  if (w.StoredInt("WNDlvl") != (b ? kStoredB : kStoredA).wndLvl) state.SkipWithError("the save did not reach the file");
}

void BM_LoadSettings(benchmark::State& state) {
  SettingsWorld w(state.range(0));
  TimeLoads(state, w);
  Finish(state, w);
}

void BM_SaveSettingsAllKeysChanged(benchmark::State& state) {
  SettingsWorld w(state.range(0));
  TimeSavesOfChangedKeys(state, w);
  Finish(state, w);
}

// The values the file already holds: what a page's StoreStatus costs when
// nothing was changed.
void BM_SaveSettingsUnchanged(benchmark::State& state) {
  SettingsWorld w(state.range(0));
  Apply(*w.module, kStoredA);
  for (auto _ : state) w.module->SaveSettings(w.module->vessel);
  if (w.StoredInt("WNDlvl") != kStoredA.wndLvl) state.SkipWithError("the vessel's section was lost");
  Finish(state, w);
}

// Real time: the writes wait for the disk, which processor time leaves out.
void SettingsFileSizes(benchmark::internal::Benchmark* b) {
  b->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->Complexity();
}

BENCHMARK(BM_LoadSettings)->Apply(SettingsFileSizes);
BENCHMARK(BM_SaveSettingsAllKeysChanged)->Apply(SettingsFileSizes);
BENCHMARK(BM_SaveSettingsUnchanged)->Apply(SettingsFileSizes);

// The shapes of a file, about mb megabytes of other vessels' lines around
// the vessel's own section. The reading of one long line must cost what the
// same bytes cost in short lines.
enum Shape : int64_t { kShortLines, kOneLine, kLongNamesOwnFirst, kLongNamesOwnLast };

SettingsWorld ShapedWorld(Shape shape, int64_t mb) {
  const size_t bytes = static_cast<size_t>(mb) << 20;
  std::string others;
  others.reserve(bytes + 256);
  if (shape == kShortLines) {
    for (int64_t i = 0; others.size() < bytes; ++i) others += SectionText(ClassName(i) + "Earth", kOthers);
  } else if (shape == kOneLine) {
    others.append(";").append(bytes, 'c').append("\r\n");
  } else {
    // Empty sections: the list of their names is as long as the file.
    for (int64_t i = 0; others.size() < bytes; ++i) others += "[" + std::string(90, 'N') + std::to_string(i) + "]\r\n";
  }
  const bool ownFirst = shape == kLongNamesOwnFirst;
  return SettingsWorld(ownFirst ? "" : others, "Glider1", ownFirst ? others : "");
}

const char* const kShapeNames[] = {"short lines", "one line", "long names, own first", "long names, own last"};

void BM_LoadShapedFile(benchmark::State& state) {
  SettingsWorld w = ShapedWorld(static_cast<Shape>(state.range(0)), state.range(1));
  state.SetLabel(kShapeNames[state.range(0)]);
  TimeLoads(state, w);
  state.counters["fileMiB"] = static_cast<double>(w.fileBytes) / (1 << 20);
}

void BM_SaveShapedFile(benchmark::State& state) {
  SettingsWorld w = ShapedWorld(static_cast<Shape>(state.range(0)), state.range(1));
  state.SetLabel(kShapeNames[state.range(0)]);
  TimeSavesOfChangedKeys(state, w);
  state.counters["fileMiB"] = static_cast<double>(w.fileBytes) / (1 << 20);
}

void LoadShapes(benchmark::internal::Benchmark* b) {
  b->ArgNames({"shape", "MB"})->Unit(benchmark::kMillisecond)->UseRealTime();
  for (int64_t mb : {16, 100})
    for (int64_t shape : {kShortLines, kOneLine, kLongNamesOwnFirst, kLongNamesOwnLast}) b->Args({shape, mb});
}

void SaveShapes(benchmark::internal::Benchmark* b) {
  b->ArgNames({"shape", "MB"})->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
  for (int64_t shape : {kShortLines, kOneLine, kLongNamesOwnFirst, kLongNamesOwnLast}) b->Args({shape, 100});
}

BENCHMARK(BM_LoadShapedFile)->Apply(LoadShapes);
BENCHMARK(BM_SaveShapedFile)->Apply(SaveShapes);

}  // namespace
