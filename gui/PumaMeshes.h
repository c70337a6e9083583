// The look of the PUMA 560: one mesh per link (0 = pedestal ... 6 = flange and
// gripper; link 5 has none), each in the frame its joint moves.
#pragma once

#include <vector>

#include "gui/LinkMesh.h"

constexpr int kPumaLinkCount = 7;

std::vector<LinkMesh> buildPumaMeshes();
