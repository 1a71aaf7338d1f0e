#include "module/Module.h"

#include <cstring>
#include <type_traits>

#include "module/Galeboard.h"
#include "platform/Platform.h"

// The host's; the SDK headers do not declare it. Its text is not const.
OAPIFUNC int Date2Int(char* date);

char settingsPath[kSettingsPathSize];
MODU* moduleInstance = nullptr;
int32_t modeId = 0;

MODU::MODU(HINSTANCE hDLL) : oapi::Module(hDLL), atmBody(NoBody()) {
  fusColours[0] = _V(0.0, 0.5, 1.0);  // sky blue
  fusColours[1] = _V(0.5, 1.0, 0.5);  // light green
  fusColours[2] = _V(1.0, 0.1, 0.1);  // red
  fusColours[3] = _V(1.0, 1.0, 0.5);  // light yellow
}

MODU::~MODU() = default;

namespace {

// The message result type of the SDK the module is built against: an int in
// the 32-bit SDK, wide enough for an address elsewhere.
using MsgResult = std::invoke_result_t<decltype(MFDMODESPECEX::msgproc), UINT, UINT, WPARAM, LPARAM>;
static_assert(sizeof(MsgResult) >= sizeof(void*), "a message result must hold a page address");

MsgResult MsgProc(UINT msg, UINT /*mfd*/, WPARAM wparam, LPARAM lparam) {
  if (msg != OAPI_MSG_MFD_OPENEDEX) return 0;
  const auto* spec = reinterpret_cast<const MFDMODEOPENSPEC*>(wparam);
  auto* page =
      new Galeboard(static_cast<DWORD>(spec->w), static_cast<DWORD>(spec->h), reinterpret_cast<VESSEL*>(lparam));
  return reinterpret_cast<MsgResult>(page);
}

// Builds the settings path from the library's own path: its last three
// characters (the extension) give way to "cfg". A path the platform could not
// give, had to cut, or one too short to cut leaves the settings path empty,
// and the module then neither saves nor loads.
void BuildSettingsPath(HINSTANCE hDLL) {
  DWORD len = GetModuleFileNameA(hDLL, settingsPath, kSettingsPathSize);
  // A path that did not fit comes back cut to the buffer (unterminated on
  // older platforms) and reports the buffer's size: its last characters are
  // not the extension, and the cut name would put the settings anywhere.
  if (len < 3 || len >= static_cast<DWORD>(kSettingsPathSize)) {
    settingsPath[0] = '\0';
    return;
  }
  std::memcpy(settingsPath + len - 3, "cfg", 4);
}

}  // namespace

DLLCLBK void InitModule(HINSTANCE hDLL) {
  BuildSettingsPath(hDLL);
  moduleInstance = new MODU(hDLL);
  oapiRegisterModule(moduleInstance);

  static char name[] = "Galeboard";
  MFDMODESPECEX spec;
  spec.name = name;
  spec.key = OAPI_KEY_W;
  spec.context = nullptr;
  spec.msgproc = MsgProc;
  modeId = oapiRegisterMFDMode(spec);
}

DLLCLBK void ExitModule(HINSTANCE /*hDLL*/) { oapiUnregisterMFDMode(modeId); }

DLLCLBK int GetModuleVersion() {
  static char sdkDate[] = "Aug 30 2010";
  static const int version = Date2Int(sdkDate);
  return version;
}

DLLCLBK const char* ModuleDate() { return "Oct 11 2015"; }
