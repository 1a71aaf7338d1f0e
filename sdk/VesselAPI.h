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
  // Null outside every atmosphere. The SDK's own signature: the const of the
  // returned handle is part of the function's name in the host's exports.
  const OBJHANDLE GetAtmRef() const;
  double GetAtmDensity() const;  // kg/m^3
  // Force F [N] at point r [m], vessel frame, for the next step only.
  void AddForce(const VECTOR3& F, const VECTOR3& r) const;

 protected:
  OBJHANDLE vessel;  // the host's vessel object
  short flightmodel;
  short version;
};
