// What a flight leaves behind, step by step and at each snapshot: the
// statistics, the trace, the pictures of the displays and the view, and the
// final page of each display as text.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tools/galeboard-sim/Flight.h"
#include "tools/galeboard-sim/Outputs.h"
#include "tools/galeboard-sim/Summary.h"

namespace sim {

class Recorder : public StepSink {
 public:
  // folder: where the pictures go, or none for no pictures. trace: where the
  // steps go as rows, or null.
  Recorder(std::optional<std::filesystem::path> folder, TraceWriter* trace)
      : folder_(std::move(folder)), trace_(trace) {}

  void OnStep(const StepSample& s) override;
  void OnSnapshot(Flight& flight, double t, bool final) override;

  Stats stats;
  // The final page of each display as text rows, plain and in terminal
  // colours.
  std::map<std::string, std::vector<std::string>> pageText, colourText;
  std::vector<OutputFile> pictures;
  std::vector<std::string> problems;  // pictures that could not be made

 private:
  void PicturePage(Flight& flight, const Flight::OpenDisplay& d, double t, bool final);
  void PictureView(Flight& flight, double t, bool final);

  std::optional<std::filesystem::path> folder_;
  TraceWriter* trace_;
};

}  // namespace sim
