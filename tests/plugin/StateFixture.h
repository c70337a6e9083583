// A ServoState filled by hand for the control-law tests: six joints, six task
// coordinates, a well-conditioned Jacobian and a symmetric positive definite
// mass matrix, in double precision on the side for independent checks.
#pragma once

#include <Eigen/Dense>
#include <random>

#include "servo/ServoState.h"

struct StateFixture {
  ServoState s;
  Eigen::MatrixXd J, A;
  Eigen::VectorXd B, G;

  explicit StateFixture(int n = 6, unsigned seed = 3) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-1, 1);
    J = Eigen::MatrixXd::Identity(n, n) * 0.6;
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) J(i, j) += 0.2 * u(rng);
    Eigen::MatrixXd M(n, n);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) M(i, j) = u(rng);
    A = M * M.transpose() + Eigen::MatrixXd::Identity(n, n) * 0.5;
    B = Eigen::VectorXd(n);
    G = Eigen::VectorXd(n);
    for (int i = 0; i < n; ++i) B(i) = u(rng), G(i) = 10 * u(rng);
    s.dof = n;
    for (PrVector* v : {&s.tau,  &s.q,    &s.dq,    &s.qd,     &s.dqd,    &s.ddqd, &s.B,  &s.G,
                        &s.qmin, &s.qmax, &s.dqmax, &s.ddqmax, &s.tauMax, &s.q0,   &s.kj, &s.x,
                        &s.dx,   &s.xd,   &s.dxd,   &s.ddxd,   &s.mu,     &s.p,    &s.kp, &s.kv})
      v->setSize(n, true);
    s.J.setSize(n, n, true);
    s.A.setSize(n, n, true);
    s.Lambda.setSize(n, n, true);
    s.posSelect.setSize(n == 6 ? 3 : 0, n, true);
    s.oriSelect.setSize(n == 6 ? 3 : 0, n, true);
    for (int k = 0; k < 3 && n == 6; ++k) s.posSelect(k, k) = 1, s.oriSelect(k, 3 + k) = 1;
    for (int i = 0; i < n; ++i) {
      s.B[i] = float(B(i));
      s.G[i] = float(G(i));
      s.kp[i] = 400;
      s.kv[i] = 40;
      s.qmin[i] = -2;
      s.qmax[i] = 2;
      s.dqmax[i] = 0.8f;
      s.ddqmax[i] = 1.0f;
      s.tauMax[i] = 100;
      s.q0[i] = 0.0873f;
      s.kj[i] = 0.1f;
      for (int j = 0; j < n; ++j) s.J(i, j) = float(J(i, j)), s.A(i, j) = float(A(i, j));
    }
    // What the servo derives when the Jacobian is regular.
    const Eigen::MatrixXd Jinv = J.inverse();
    const Eigen::MatrixXd Lambda = Jinv.transpose() * A * Jinv;
    const Eigen::VectorXd p = Jinv.transpose() * G;
    for (int i = 0; i < n; ++i) {
      s.p[i] = float(p(i));
      for (int j = 0; j < n; ++j) s.Lambda(i, j) = float(Lambda(i, j));
    }
    s.vmax = 0.3f;
    s.amax = 10;
    s.wmax = 0.785f;
    s.rho0 = 0.05f;
    s.eta = 0.01f;
  }
};
