// Where the drawn PUMA's links sit: the same chain as the simulated arm.
//
// The links follow the modified Denavit–Hartenberg records of the shipped
// puma560.prm, with the lengths the closed-form model uses, so the drawn tool
// is where the x read-out says it is. World coordinates are the model's base
// frame: origin on axis 1 at shoulder height, z up.
#pragma once

#include <cmath>

#include "libpuma/PumaConstants.h"
#include "utility/Angles.h"

namespace pumagl {

// α (degrees) and a of the previous link, d of this one (m); joint i turns
// about the z axis of frame i.
struct DhLink {
  float alphaDeg;
  float a;
  float d;
};
inline constexpr DhLink kLinks[6] = {
    {0, 0, 0},
    {-90, 0, puma::kShoulderOffset},
    {0, puma::kA2, puma::kElbowOffset},
    {90, puma::kA3, puma::kD4},
    {-90, 0, 0},
    {90, 0, 0},
};

// The floor lies this far below the shoulder; the pedestal stands on it.
inline constexpr float kShoulderHeight = 0.6718f;
// The tool point in the frame of the last link (the flange), as in the model.
inline constexpr float kToolLength = puma::kToolLength;

// The camera: the shorter side of the view spans kFrustumSpan at the near
// plane, so every window shape sees at least the same angle.
inline constexpr double kFrustumSpan = 1.2;
inline constexpr double kNearPlane = 2.0;
inline constexpr double kFarPlane = 12.0;
// Radius about the origin that holds the arm in every pose, meshes included.
inline constexpr float kReach = puma::kA2 + puma::kD4 + puma::kToolLength + 0.12f;
// The default camera looks at the origin from the front right, a little above,
// from far enough for a sphere of kReach to fit the view.
inline constexpr float kEyeAzimuthDeg = 30;
inline constexpr float kEyeElevationDeg = 22;

// The default camera's position; it looks at the origin with z up.
inline void defaultEyePosition(double eye[3]) {
  const double distance = kReach / std::sin(std::atan(kFrustumSpan / 2 / kNearPlane));
  const double azimuth = kEyeAzimuthDeg * kPi / 180, elevation = kEyeElevationDeg * kPi / 180;
  eye[0] = distance * std::cos(elevation) * std::sin(azimuth);
  eye[1] = -distance * std::cos(elevation) * std::cos(azimuth);
  eye[2] = distance * std::sin(elevation);
}

// Width and height of the view volume at the near plane for a view of aspect
// width / height.
inline void frustumSize(double aspect, double& width, double& height) {
  width = aspect >= 1 ? kFrustumSpan * aspect : kFrustumSpan;
  height = aspect >= 1 ? kFrustumSpan : kFrustumSpan / aspect;
}

}  // namespace pumagl
