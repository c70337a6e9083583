#include "libpuma/RobotGatherShape.h"

#include "libpuma/RobotModelFactory.h"

GatherShape robotGatherShape(int robotType) {
  const auto model = createRobotModel(robotType);
  if (!model) return {};
  GatherShape shape{model->dof(), model->m_numConfigParms, model->m_taskDof, {}};
  for (int k = 0; k < shape.config; ++k)
    shape.configNames.push_back(model->m_configNames[k] ? model->m_configNames[k] : "");
  return shape;
}
