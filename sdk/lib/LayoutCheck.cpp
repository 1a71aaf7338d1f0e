// The binary layout the simulator's SDK gives its classes, checked wherever a
// module is built: a module's objects are made and read by the simulator, so
// a size that differs from the simulator's is a crash, not a warning.
#include <cstddef>

#include "Orbitersdk.h"

namespace {

constexpr size_t kPointer = sizeof(void*);

// The simulator's ModuleNV: int version, then the module handle.
struct ModuleNVProbe : oapi::ModuleNV {
  static constexpr size_t HandleOffset() { return offsetof(ModuleNVProbe, hModule); }
};
static_assert(ModuleNVProbe::HandleOffset() == kPointer, "ModuleNV: int version, then hModule");
static_assert(sizeof(oapi::ModuleNV) == 2 * kPointer, "ModuleNV: int version, then hModule");
// Module: its vtable pointer, then ModuleNV (12 bytes on i686).
static_assert(sizeof(oapi::Module) == kPointer + sizeof(oapi::ModuleNV), "Module: vtable pointer and ModuleNV");
// MFD: vtable pointer, W, H, cw, ch, pV, the host's display (28 bytes on i686).
static_assert(sizeof(MFD) == 3 * kPointer + 4 * sizeof(DWORD), "MFD: 28 bytes on i686");
static_assert(sizeof(MFD2) == sizeof(MFD), "MFD2 adds no data");
// Sketchpad: vtable pointer, then its surface.
static_assert(sizeof(oapi::Sketchpad) == 2 * kPointer, "Sketchpad: vtable pointer and surface");
// VESSEL: the host's vessel, two shorts (8 bytes on i686).
static_assert(sizeof(VESSEL) == (kPointer + 2 * sizeof(short) + kPointer - 1) / kPointer * kPointer,
              "VESSEL: a pointer and two shorts");
static_assert(sizeof(DWORD) == 4 && sizeof(UINT) == 4, "the SDK's 32-bit integers");
static_assert(sizeof(WPARAM) == kPointer && sizeof(LPARAM) == kPointer, "message parameters are pointer-sized");

}  // namespace
