// The settings of one vessel class in one body's atmosphere: saved when the
// focus leaves a vessel or a page stores its status, loaded when the focus
// arrives.
#include <string>

#include "module/Galeboard.h"
#include "module/Module.h"
#include "module/WindState.h"
#include "settings/SettingsFile.h"

namespace {

constexpr int kBodyNameSize = 999;
// Far beyond any class and body name; a longer one is refused rather than
// trusted to every platform's profile functions.
constexpr size_t kMaxSectionName = 1024;

// Whether the name can stand alone as a section line, [name], and be found
// again under that same name. A line break or a ']' would make other lines
// of it, or end it early, and could alter another section; blanks at either
// end are dropped when the file is read, so that the name would read as (and
// write into) another vessel's section.
bool IsSafeSectionName(const std::string& name) {
  if (name.empty() || name.size() > kMaxSectionName) return false;
  for (char c : name) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F || c == ']') return false;
  }
  return name.front() != ' ' && name.back() != ' ';
}

// The section of a vessel: its class name followed directly by the name of
// the body whose atmosphere it is in. False, and nothing to save or load,
// outside every atmosphere or for a name that cannot be a section.
bool SectionName(VESSEL* vessel, std::string* name) {
  if (!vessel || settingsPath[0] == '\0') return false;
  OBJHANDLE body = vessel->GetAtmRef();
  if (!body) return false;
  const char* className = vessel->GetClassNameA();
  char bodyName[kBodyNameSize];
  bodyName[0] = '\0';
  oapiGetObjectName(body, bodyName, kBodyNameSize);
  *name = std::string(className ? className : "") + bodyName;
  return IsSafeSectionName(*name);
}

int32_t AtLeastZero(int32_t v, int32_t max) {
  if (v < 0) return 0;
  return v > max ? max : v;
}

}  // namespace

void MODU::SaveSettings(VESSEL* v) {
  std::string name;
  if (!SectionName(v, &name)) return;
  SettingsFile file;
  // The profile functions would write into the first section whose name
  // differs from this one only in letter case, another vessel's, which the
  // load would never read for this one: that section is left alone, and
  // nothing is saved. Nor when the names could not be listed to tell.
  const SectionMatch match = file.FindSection(name);
  if (match != SectionMatch::Exact && match != SectionMatch::None) return;
  file.SetSection(name.c_str());
  if (!file.BeginSave()) return;
  file.WriteInt("WindOn", WindState.WindOn ? 1 : 0);
  file.WriteInt("DisRest", DisRest);
  file.WriteInt("WNDlvl", WindState.WNDlvl);
  file.WriteInt("TURlvl", WindState.TURlvl);
  file.WriteInt("SHRlvl", WindState.SHRlvl);
  file.WriteInt("SHRt", WindState.SHRt);
  file.WriteInt("SHRt_stpI", WindState.SHRt_stpI);
  file.WriteInt("FUSoo", FUSoo);
  file.WriteInt("FUScol", FUScol);
  file.WriteInt("FUSsize", FUSsize);
  file.EndSave();
}

void MODU::LoadSettings() {
  std::string name;
  if (!SectionName(vessel, &name)) return;
  SettingsFile file;
  // Only a section of exactly this name, letter case included; and only when
  // no section whose name differs only in letter case stands before it, as
  // the profile functions would read that one in its place.
  if (file.FindSection(name) != SectionMatch::Exact) return;
  file.SetSection(name.c_str());

  // A key missing from the section takes its default, not the value held.
  WindState.WindOn = file.ReadInt("WindOn", 0) != 0;
  DisRest = file.ReadInt("DisRest", 0) != 0 ? 1 : 0;
  WindState.WNDlvl = AtLeastZero(file.ReadInt("WNDlvl", 0), WindState.WNDmax);
  WindState.TURlvl = AtLeastZero(file.ReadInt("TURlvl", 0), WindState.TURmax);
  WindState.SHRlvl = AtLeastZero(file.ReadInt("SHRlvl", 0), WindState.SHRmax);
  int32_t shrt = file.ReadInt("SHRt", 0);
  WindState.SHRt = shrt < 0 || shrt > 1999 ? 0 : shrt;
  WindState.SHRt_stpI = AtLeastZero(file.ReadInt("SHRt_stpI", 0), 2);
  FUSoo = file.ReadInt("FUSoo", 0) != 0 ? 1 : 0;
  FUScol = AtLeastZero(file.ReadInt("FUScol", 0), 3);
  int32_t size = file.ReadInt("FUSsize", 5);
  FUSsize = size < 1 ? 1 : size > 10 ? 10 : size;

  LayoutFusOverlay();
}

void MODU::clbkFocusChanged(OBJHANDLE new_focus, OBJHANDLE old_focus) {
  // The settings in memory are the old vessel's: they go to its section for
  // the body it is in now.
  if (old_focus) SaveSettings(oapiGetVesselInterface(old_focus));
  vessel = new_focus ? oapiGetVesselInterface(new_focus) : nullptr;
  LoadSettings();
}

void Galeboard::StoreStatus() const {
  if (moduleInstance) moduleInstance->SaveSettings(pV);
}
