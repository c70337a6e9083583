// What the 3D view draws around the arm so a user can place it: the
// background, a grid on the floor and the axes of the base frame (x red,
// y green, z blue), in which the x read-outs are given.
#pragma once

namespace scene {

// A dark slate, plain so that the view's extent is easy to tell on screen.
inline constexpr float kBackground[3] = {0.12f, 0.14f, 0.17f};
// Half the side of the floor grid and the spacing of its lines, m; every
// fifth line is brighter.
inline constexpr float kGridHalfSide = 1.2f;
inline constexpr float kGridSpacing = 0.1f;
inline constexpr float kAxisLength = 0.35f;

// Unlit lines in the current model-view frame, which is the world's.
void drawGroundGrid(float floorZ);
void drawBaseAxes();

}  // namespace scene
