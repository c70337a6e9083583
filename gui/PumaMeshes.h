// The look of the PUMA 560: one mesh per link (0 = pedestal ... 6 = flange and
// gripper), each in the frame its joint moves (PumaGeometry.h).
#pragma once

#include <vector>

#include "gui/LinkMesh.h"

constexpr int kPumaLinkCount = 7;

std::vector<LinkMesh> buildPumaMeshes();
