// The columns of a gather row, named: time, then q1.., dq1.., qd1.., x1..,
// dx1.., xd1.. (joint positions, velocities and goals, the operational
// configuration, its rate and its goal), as the servo's gather list orders
// them. The sizes follow from the robot type (libpuma/RobotGatherShape.h).
#pragma once

#include <string>
#include <vector>

struct GatherShape {
  int dof = 0;                           // joints
  int config = 0;                        // configuration parameters of x and xd
  int rate = 0;                          // elements of dx
  std::vector<std::string> configNames;  // the model's names of x's parameters ("x", "w", "alpha")
  int width() const { return 1 + 3 * dof + 2 * config + rate; }
};

// One quantity of a row: its name ("q", "dq", ...), first column and size.
struct GatherQuantity {
  std::string name;
  int first = 0;
  int count = 0;
};

// The six quantities in row order (time, column 0, is not among them).
std::vector<GatherQuantity> gatherQuantities(const GatherShape& shape);

// "time", "q1", ..., "xd<config>": one name per column.
std::vector<std::string> gatherColumnNames(const GatherShape& shape);

// The names with, for x and xd, the parameter's own name: "x4 (w)".
std::vector<std::string> gatherColumnLabels(const GatherShape& shape);

// A plot's worth of columns: each group is one quantity's chosen columns.
struct GatherSelection {
  struct Group {
    std::string quantity;
    std::vector<int> columns;
  };
  std::vector<Group> groups;
};

// Reads a comma-separated list of quantity names ("q", "dx") and column
// names ("q2", "xd1") into groups, one per quantity in the order first named.
// An empty list selects every quantity. False, with `error` naming the first
// unknown entry, when one is not a column of this shape.
bool selectGatherColumns(const GatherShape& shape, const std::string& list, GatherSelection& selection,
                         std::string& error);
