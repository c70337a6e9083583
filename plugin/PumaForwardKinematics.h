// Closed-form forward kinematics of the PUMA 560 in the model's own frame
// convention, shared by the inverse kinematics and its tests.
//
// Chain: R = Rz(q1) Ry(q2 + q3) Rz(q4) Ry(q5) Rz(q6); the operational point is
// the wrist centre plus kToolLength along the last axis. Positions are in the
// base frame (m) "up to a constant height": callers that compare against the
// simulated arm's frame calibrate that offset (see PoseCalibration).
#pragma once

namespace ik {

inline constexpr double kA2 = 0.4115;                 // upper arm (m)
inline constexpr double kA3 = -0.0203;                // elbow offset (m)
inline constexpr double kD4 = 0.4331;                 // forearm (m)
inline constexpr double kLateral = 0.1501 - 0.0934;   // shoulder lateral offset (m)
inline constexpr double kToolLength = 0.055 + 0.105;  // wrist centre to operational point (m)

// A position (m) and a row-major rotation matrix, both in the base frame.
struct Pose {
  double p[3] = {0, 0, 0};
  double R[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
};

// Pose of the operational point for joint angles q (rad, 6 entries).
Pose forward(const double q[6]);

// Wrist centre (m) for joints 1-3 (rad).
void wristCentre(const double q[3], double out[3]);

// Rotation of link 3's frame, Rz(q1) Ry(q2 + q3).
void armRotation(double q1, double q23, double R[3][3]);

}  // namespace ik
