// The vessel interface.
#pragma once

#include "OrbiterAPI.h"

class OAPIFUNC VESSEL {
 public:
  VESSEL(OBJHANDLE hVessel, int fmodel = 1);
  char* GetClassName() const;
  DWORD GetFlightStatus() const;  // bit 0: landed; bit 1: docked
  double GetMass() const;         // kg
  double GetAltitude() const;     // m above the mean radius
  double GetPitch() const;        // rad
  OBJHANDLE GetAtmRef() const;    // null outside every atmosphere
  double GetAtmDensity() const;   // kg/m^3
  // Force F [N] at point r [m], vessel frame, for the next step only.
  void AddForce(const VECTOR3& F, const VECTOR3& r) const;

 protected:
  OBJHANDLE vessel;
};
