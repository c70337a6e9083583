#include "gui/ScopeSignal.h"

#include <algorithm>
#include <cmath>

QString scopeSignalLabel(ScopeSignal signal) {
  switch (signal) {
    case ScopeSignal::kJointPosition:
      return "q and qd";
    case ScopeSignal::kJointVelocity:
      return "dq";
    case ScopeSignal::kTorque:
      return "tau";
    case ScopeSignal::kOperational:
      return "x and xd";
    case ScopeSignal::kOperationalRate:
      return "dx";
    case ScopeSignal::kErrorNorms:
      return "error norms";
  }
  return {};
}

QString scopeAxisTitle(ScopeSignal signal) {
  switch (signal) {
    case ScopeSignal::kJointPosition:
      return "q, qd (rad)";
    case ScopeSignal::kJointVelocity:
      return "dq (rad/s)";
    case ScopeSignal::kTorque:
      return "tau (N·m)";
    case ScopeSignal::kOperational:
      return "x, xd";
    case ScopeSignal::kOperationalRate:
      return "dx";
    case ScopeSignal::kErrorNorms:
      return "|qd − q| (rad), |xd − x| (m)";
  }
  return {};
}

int scopeComponents(ScopeSignal signal, const ScopeSample& shape) {
  switch (signal) {
    case ScopeSignal::kJointPosition:
    case ScopeSignal::kJointVelocity:
    case ScopeSignal::kTorque:
      return shape.dof;
    case ScopeSignal::kOperational:
      return shape.config;
    case ScopeSignal::kOperationalRate:
      return shape.rate;
    case ScopeSignal::kErrorNorms:
      return 2;
  }
  return 0;
}

bool scopeHasGoal(ScopeSignal signal) {
  return signal == ScopeSignal::kJointPosition || signal == ScopeSignal::kOperational;
}

float scopeValue(ScopeSignal signal, const ScopeSample& s, int k, bool goal) {
  switch (signal) {
    case ScopeSignal::kJointPosition:
      return goal ? s.qd[k] : s.q[k];
    case ScopeSignal::kJointVelocity:
      return s.dq[k];
    case ScopeSignal::kTorque:
      return s.tau[k];
    case ScopeSignal::kOperational:
      return goal ? s.xd[k] : s.x[k];
    case ScopeSignal::kOperationalRate:
      return s.dx[k];
    case ScopeSignal::kErrorNorms: {
      double sum = 0;
      if (k == 0) {
        for (int j = 0; j < s.dof; ++j) sum += double(s.qd[j] - s.q[j]) * (s.qd[j] - s.q[j]);
      } else {
        // The position part of x: its leading parameters, all but the
        // orientation (the reduced arms end theirs with one angle).
        const int n = s.config >= 6 ? 3 : std::max(s.config - 1, 0);
        for (int j = 0; j < n; ++j) sum += double(s.xd[j] - s.x[j]) * (s.xd[j] - s.x[j]);
      }
      return static_cast<float>(std::sqrt(sum));
    }
  }
  return 0;
}

QString scopeColumnName(ScopeSignal signal, int k, bool goal) {
  const QString index = QString::number(k + 1);
  switch (signal) {
    case ScopeSignal::kJointPosition:
      return (goal ? "qd" : "q") + index;
    case ScopeSignal::kJointVelocity:
      return "dq" + index;
    case ScopeSignal::kTorque:
      return "tau" + index;
    case ScopeSignal::kOperational:
      return (goal ? "xd" : "x") + index;
    case ScopeSignal::kOperationalRate:
      return "dx" + index;
    case ScopeSignal::kErrorNorms:
      return k == 0 ? "joint_error" : "position_error";
  }
  return {};
}
