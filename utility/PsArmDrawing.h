// The PostScript text of the arm plot: the page prologue, one side-view
// drawing of the arm's first three links per frame, and the trailer.
//
// Coordinates are model units (the base sits at (1.3, 0.8)) scaled by 200 to
// PostScript points; the prologue flips the y axis so model y runs down from a
// line six inches above the page's bottom edge.
#pragma once

#include <cstdio>

// Model units to PostScript points.
constexpr float kPsScale = 200.0f;

void writePsPrologue(std::FILE* file);
void writePsTrailer(std::FILE* file);

// Writes frame number frameNumber (the "% frame N" comment, then every shape)
// for the joint angles q0, q1, q2 (rad). Flushes the file after the comment.
void writeArmFrame(std::FILE* file, int frameNumber, float q0, float q1, float q2);
