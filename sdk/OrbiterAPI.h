// Types, constants and free functions of the host.
#pragma once

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
typedef uint32_t DWORD;
typedef uint32_t UINT;
typedef int BOOL;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef struct HINSTANCE__* HINSTANCE;
typedef struct HDC__* HDC;
// As <windows.h> does in an ANSI build.
#define GetClassName GetClassNameA
#endif

#ifdef _WIN32
#define OAPI_DLLEXPORT __declspec(dllexport)
#define OAPI_DLLIMPORT __declspec(dllimport)
#else
#define OAPI_DLLEXPORT __attribute__((visibility("default")))
#define OAPI_DLLIMPORT __attribute__((visibility("default")))
#endif

// The host defines OAPI_IMPLEMENTATION when it builds itself.
#ifdef OAPI_IMPLEMENTATION
#define OAPIFUNC OAPI_DLLEXPORT
#else
#define OAPIFUNC OAPI_DLLIMPORT
#endif

#define DLLCLBK extern "C" OAPI_DLLEXPORT

typedef union {
  double data[3];
  struct {
    double x, y, z;
  };
} VECTOR3;

inline VECTOR3 _V(double x, double y, double z) {
  VECTOR3 v;
  v.x = x;
  v.y = y;
  v.z = z;
  return v;
}

typedef void* OBJHANDLE;
typedef void* NOTEHANDLE;
typedef void* FILEHANDLE;
typedef void* SURFHANDLE;

// A message result must hold a page address: the SDK's int on 32-bit Windows,
// pointer-sized on 64-bit Windows (LRESULT there) and everywhere else.
#if defined(_WIN32) && !defined(_WIN64)
typedef int OAPI_MSGRESULT;
#else
typedef intptr_t OAPI_MSGRESULT;
#endif

typedef struct {
  char* name;
  DWORD key;
  void* context;
  OAPI_MSGRESULT (*msgproc)(UINT msg, UINT mfd, WPARAM wparam, LPARAM lparam);
} MFDMODESPECEX;

typedef struct {
  int w, h;
  MFDMODESPECEX* spec;
} MFDMODEOPENSPEC;

#pragma pack(push, 1)
typedef struct {
  const char* line1;
  const char* line2;
  char selchar;
} MFDBUTTONMENU;
#pragma pack(pop)

typedef struct {
  double p0;          // surface pressure [Pa]
  double rho0;        // surface density [kg/m^3]
  double R;           // specific gas constant [J/(K kg)]
  double gamma;       // ratio of specific heats
  double C;           // exponent of the pressure-temperature relation
  double O2pp;        // partial pressure of oxygen
  double altlimit;    // altitude limit of the atmosphere [m]
  double radlimit;    // radius limit (altlimit + mean radius) [m]
  double horizonalt;  // horizon rendering altitude [m]
  VECTOR3 color0;     // sky colour at the surface
} ATMCONST;

typedef struct {
  double T;    // temperature [K]
  double p;    // pressure [Pa]
  double rho;  // density [kg/m^3]
} ATMPARAM;

#define OAPI_KEY_Q 0x10
#define OAPI_KEY_W 0x11
#define OAPI_KEY_E 0x12
#define OAPI_KEY_R 0x13
#define OAPI_KEY_T 0x14
#define OAPI_KEY_Y 0x15
#define OAPI_KEY_U 0x16
#define OAPI_KEY_I 0x17
#define OAPI_KEY_O 0x18
#define OAPI_KEY_P 0x19
#define OAPI_KEY_A 0x1E
#define OAPI_KEY_S 0x1F
#define OAPI_KEY_D 0x20
#define OAPI_KEY_F 0x21
#define OAPI_KEY_G 0x22
#define OAPI_KEY_H 0x23
#define OAPI_KEY_J 0x24
#define OAPI_KEY_K 0x25
#define OAPI_KEY_L 0x26
#define OAPI_KEY_Z 0x2C
#define OAPI_KEY_X 0x2D
#define OAPI_KEY_C 0x2E
#define OAPI_KEY_V 0x2F
#define OAPI_KEY_B 0x30
#define OAPI_KEY_N 0x31
#define OAPI_KEY_M 0x32

#define OAPI_MSG_MFD_OPENED 1
#define OAPI_MSG_MFD_CLOSED 2
#define OAPI_MSG_MFD_UPDATE 3
#define OAPI_MSG_MFD_OPENEDEX 4

#define PANEL_MOUSE_LBDOWN 0x01
#define PANEL_MOUSE_RBDOWN 0x02

#define COCKPIT_GENERIC 1
#define COCKPIT_PANELS 2
#define COCKPIT_VIRTUAL 3

#define HUD_NONE 0
#define HUD_ORBIT 1
#define HUD_SURFACE 2
#define HUD_DOCKING 3

class VESSEL;

OAPIFUNC BOOL oapiGetFocusHeading(double* heading);
OAPIFUNC BOOL oapiGetFocusShipAirspeedVector(VECTOR3* v);
OAPIFUNC void oapiGetObjectName(OBJHANDLE hObj, char* name, int n);
OAPIFUNC double oapiGetSize(OBJHANDLE hObj);
OAPIFUNC const ATMCONST* oapiGetPlanetAtmConstants(OBJHANDLE hPlanet);
OAPIFUNC void oapiGetPlanetAtmParams(OBJHANDLE hPlanet, double rad, ATMPARAM* prm);
OAPIFUNC VESSEL* oapiGetVesselInterface(OBJHANDLE hVessel);

OAPIFUNC void oapiGetViewportSize(DWORD* w, DWORD* h, DWORD* bpp = 0);
OAPIFUNC bool oapiCameraInternal();
OAPIFUNC int oapiCockpitMode();
OAPIFUNC int oapiGetHUDMode();

OAPIFUNC NOTEHANDLE oapiCreateAnnotation(bool exclusive, double size, const VECTOR3& col);
OAPIFUNC void oapiAnnotationSetPos(NOTEHANDLE hNote, double x1, double y1, double x2, double y2);
OAPIFUNC void oapiAnnotationSetSize(NOTEHANDLE hNote, double size);
OAPIFUNC void oapiAnnotationSetColour(NOTEHANDLE hNote, const VECTOR3& col);
OAPIFUNC void oapiAnnotationSetText(NOTEHANDLE hNote, char* note);
OAPIFUNC bool oapiDelAnnotation(NOTEHANDLE hNote);

OAPIFUNC int oapiRegisterMFDMode(MFDMODESPECEX& spec);
OAPIFUNC bool oapiUnregisterMFDMode(int mode);

// Library glue: the host's side of module loading. The host's Date2Int is not
// declared by the SDK; a module that calls it declares it itself.
OAPIFUNC void InitLib(HINSTANCE hModule);
