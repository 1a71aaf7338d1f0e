#include "tools/galeboard-sim/Recorder.h"

#include <cstdio>

#include "tools/galeboard-sim/Render.h"

namespace sim {

namespace fs = std::filesystem;

namespace {

std::string TimeTag(double t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "t%g", t);
  return buf;
}

// A snapshot's pictures carry its time in their names; the final ones none.
std::string FileTag(double t, bool final) { return final ? "" : "-" + TimeTag(t); }
std::string WhatTag(double t, bool final) { return final ? "" : " at " + TimeTag(t); }

}  // namespace

void Recorder::OnStep(const StepSample& s) {
  stats.Add(s);
  if (trace_) trace_->Write(s);
}

void Recorder::OnSnapshot(Flight& flight, double t, bool final) {
  for (const Flight::OpenDisplay& d : flight.displays()) {
    if (d.index < 0) continue;
    if (final) {
      pageText[d.decl->name] = PageText(flight.host(), d.index, *d.decl, false);
      colourText[d.decl->name] = PageText(flight.host(), d.index, *d.decl, true);
    }
    if (folder_) PicturePage(flight, d, t, final);
  }
  if (folder_) PictureView(flight, t, final);
}

void Recorder::PicturePage(Flight& flight, const Flight::OpenDisplay& d, double t, bool final) {
  const fs::path png = *folder_ / ("mfd-" + d.decl->name + FileTag(t, final) + ".png");
  const ghost::Vessel* v = flight.host().display(d.index).vessel;
  const std::string caption = "Galeboard  -  " + (v ? v->name : std::string("?")) + "  -  display " + d.decl->name;
  std::string error;
  if (RenderPage(flight.host(), d.index, *d.decl, caption, png, &error))
    pictures.push_back({"page " + d.decl->name + WhatTag(t, final), png.string(), ""});
  else
    problems.push_back(error);
}

void Recorder::PictureView(Flight& flight, double t, bool final) {
  const fs::path png = *folder_ / ("view" + FileTag(t, final) + ".png");
  std::string error;
  if (RenderView(flight.world(), t, png, &error))
    pictures.push_back({"view" + WhatTag(t, final), png.string(), ""});
  else
    problems.push_back(error);
}

}  // namespace sim
