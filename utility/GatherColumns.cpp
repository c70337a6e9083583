#include "utility/GatherColumns.h"

#include <sstream>

std::vector<GatherQuantity> gatherQuantities(const GatherShape& shape) {
  const int sizes[] = {shape.dof, shape.dof, shape.dof, shape.config, shape.rate, shape.config};
  const char* const names[] = {"q", "dq", "qd", "x", "dx", "xd"};
  std::vector<GatherQuantity> quantities;
  int first = 1;
  for (int i = 0; i < 6; ++i) {
    quantities.push_back({names[i], first, sizes[i]});
    first += sizes[i];
  }
  return quantities;
}

std::vector<std::string> gatherColumnNames(const GatherShape& shape) {
  std::vector<std::string> names{"time"};
  for (const GatherQuantity& quantity : gatherQuantities(shape))
    for (int k = 1; k <= quantity.count; ++k) names.push_back(quantity.name + std::to_string(k));
  return names;
}

std::vector<std::string> gatherColumnLabels(const GatherShape& shape) {
  std::vector<std::string> labels = gatherColumnNames(shape);
  if (static_cast<int>(shape.configNames.size()) != shape.config) return labels;
  for (const GatherQuantity& quantity : gatherQuantities(shape)) {
    if (quantity.name != "x" && quantity.name != "xd") continue;
    for (int k = 0; k < quantity.count; ++k) labels[quantity.first + k] += " (" + shape.configNames[k] + ")";
  }
  return labels;
}

bool selectGatherColumns(const GatherShape& shape, const std::string& list, GatherSelection& selection,
                         std::string& error) {
  const std::vector<GatherQuantity> quantities = gatherQuantities(shape);
  selection.groups.clear();
  auto groupOf = [&](const std::string& quantity) -> GatherSelection::Group& {
    for (auto& group : selection.groups)
      if (group.quantity == quantity) return group;
    selection.groups.push_back({quantity, {}});
    return selection.groups.back();
  };
  auto add = [](GatherSelection::Group& group, int column) {
    for (int c : group.columns)
      if (c == column) return;
    group.columns.push_back(column);
  };

  std::vector<std::string> entries;
  std::stringstream in(list);
  for (std::string entry; std::getline(in, entry, ',');)
    if (!entry.empty()) entries.push_back(entry);
  if (entries.empty())
    for (const GatherQuantity& quantity : quantities) entries.push_back(quantity.name);

  for (const std::string& entry : entries) {
    bool known = false;
    for (const GatherQuantity& quantity : quantities) {
      if (entry == quantity.name) {
        auto& group = groupOf(quantity.name);
        for (int k = 0; k < quantity.count; ++k) add(group, quantity.first + k);
        known = quantity.count > 0;
      } else if (entry.compare(0, quantity.name.size(), quantity.name) == 0) {
        // "q12" is q's column 12 only when all the rest is digits.
        const std::string index = entry.substr(quantity.name.size());
        if (index.empty() || index.find_first_not_of("0123456789") != std::string::npos || index[0] == '0')
          continue;
        const int k = index.size() > 3 ? 0 : std::stoi(index);
        if (k < 1 || k > quantity.count) continue;
        add(groupOf(quantity.name), quantity.first + k - 1);
        known = true;
      }
      if (known) break;
    }
    if (!known) {
      error = entry;
      return false;
    }
  }
  return true;
}
