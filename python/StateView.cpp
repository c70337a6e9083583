#include "python/StateView.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <stdexcept>

#include "matrix/PrMatrix.h"

namespace py = pybind11;

namespace {

py::array_t<double> vectorArray(const float* values, int n) {
  py::array_t<double> a(n);
  double* out = a.mutable_data();
  for (int i = 0; i < n; ++i) out[i] = values[i];
  return a;
}

py::array_t<double> toArray(const PrVector& v) { return vectorArray(v.dataPtr(), v.size()); }
py::array_t<double> toArray(const PrVector3& v) {
  const float values[3] = {v[0], v[1], v[2]};
  return vectorArray(values, 3);
}
py::array_t<double> toArray(const PrVector6& v) {
  float values[6];
  for (int i = 0; i < 6; ++i) values[i] = v[i];
  return vectorArray(values, 6);
}

py::array_t<double> toArray(const PrMatrix& m) {
  py::array_t<double> a({m.row(), m.column()});
  auto out = a.mutable_unchecked<2>();
  for (int r = 0; r < m.row(); ++r)
    for (int c = 0; c < m.column(); ++c) out(r, c) = m(r, c);
  return a;
}

// The frame as a 4 x 4 homogeneous transform: rotation, translation, 0 0 0 1.
py::array_t<double> toArray(const PrTransform& t) {
  PrMatrix rotation;
  t.rotation.toRotationMatrix(rotation);
  py::array_t<double> a({4, 4});
  auto out = a.mutable_unchecked<2>();
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) out(r, c) = 0;
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) out(r, c) = rotation(r, c);
    out(r, 3) = t.translation[r];
  }
  out(3, 3) = 1;
  return a;
}

py::list tableArrays(const PrVector (&table)[kNumControlModes]) {
  py::list modes;
  for (const PrVector& gains : table) modes.append(toArray(gains));
  return modes;
}

py::list obstacleList(const ServoState& s) {
  py::list obstacles;
  for (int i = 0; i < s.numObstacles && i < kMaxObstacles; ++i) {
    const Obstacle& o = s.obstacles[i];
    obstacles.append(py::make_tuple(o.id, toArray(o.center), double(o.radius)));
  }
  return obstacles;
}

py::dict lineDict(const VirtualLine& line) {
  py::dict d;
  d["enabled"] = line.enabled != 0;
  d["p1"] = toArray(line.p1);
  d["p2"] = toArray(line.p2);
  d["closest"] = toArray(line.closest);
  d["direction"] = toArray(line.direction);
  return d;
}

using Getter = py::object (*)(const ServoState&);

struct Field {
  const char* name;
  Getter get;
  const char* doc;
};

#define KX_ARRAY(field, doc)                                                        \
  {                                                                                 \
#field, [](const ServoState& s) -> py::object { return toArray(s.field); }, doc \
  }
#define KX_NUMBER(field, doc)                                                        \
  {                                                                                  \
#field, [](const ServoState& s) -> py::object { return py::cast(s.field); }, doc \
  }

// In the record's order.
const Field kFields[] = {
    KX_NUMBER(dof, "joints of the current model"),
    KX_NUMBER(curTime, "servo time, s"),
    KX_ARRAY(tau, "(dof) joint torques, N·m"),
    KX_ARRAY(q, "(dof) joint positions, rad"),
    KX_ARRAY(dq, "(dof) joint velocities, rad/s"),
    KX_ARRAY(kp, "gains of the current mode"),
    KX_ARRAY(kv, "gains of the current mode"),
    KX_ARRAY(x, "(c) operational configuration, m and the orientation parameters"),
    KX_ARRAY(dx, "(r) operational velocity, J·dq"),
    KX_ARRAY(qd, "(dof) goal joint positions, rad"),
    KX_ARRAY(dqd, "(dof) goal joint velocities, rad/s"),
    KX_ARRAY(ddqd, "(dof) goal joint accelerations (the plug-in's)"),
    KX_ARRAY(xd, "(c) goal configuration"),
    KX_ARRAY(dxd, "(r) goal operational velocity"),
    KX_ARRAY(ddxd, "(r) goal operational acceleration (the plug-in's)"),
    KX_NUMBER(elbow, "elbow choice of modes 13 and 14"),
    KX_ARRAY(T, "(4 x 4) end-effector frame in the base frame"),
    KX_ARRAY(Td, "(4 x 4) goal frame"),
    KX_ARRAY(J, "(r x dof) Jacobian"),
    KX_ARRAY(Jt, "(dof x r) its transpose"),
    KX_ARRAY(A, "(dof x dof) joint-space mass matrix"),
    KX_ARRAY(B, "(dof) centrifugal and Coriolis torques, N·m"),
    KX_ARRAY(mu, "(r) operational centrifugal and Coriolis forces (zero when singular)"),
    KX_ARRAY(Lambda, "(r x r) operational-space inertia (zero when singular)"),
    KX_ARRAY(G, "(dof) gravity torques, N·m"),
    KX_ARRAY(p, "(r) operational gravity forces (zero when singular)"),
    KX_NUMBER(singular, "singularity flags: bit 0 shoulder, 1 elbow, 2 wrist"),
    KX_ARRAY(E, "(c x r) configuration-rate matrix"),
    KX_ARRAY(Einv, "(r x c) its counterpart"),
    KX_ARRAY(qmin, "(dof) joint position limits, rad"),
    KX_ARRAY(qmax, "(dof) joint position limits, rad"),
    KX_ARRAY(dqmax, "(dof) joint velocity limits, rad/s"),
    KX_ARRAY(ddqmax, "(dof) joint acceleration limits, rad/s²"),
    KX_ARRAY(tauMax, "(dof) torque limits, N·m"),
    KX_ARRAY(xmin, "(c) configuration bounds"),
    KX_ARRAY(xmax, "(c) configuration bounds"),
    KX_NUMBER(vmax, "operational speed limit, m/s"),
    KX_NUMBER(amax, "operational acceleration limit"),
    KX_NUMBER(wmax, "operational angular speed limit, rad/s"),
    KX_NUMBER(jlimit, "joint-limit switch"),
    KX_ARRAY(q0, "(dof) per-joint value, rad"),
    KX_ARRAY(kj, "(dof) per-joint gain"),
    KX_NUMBER(rho0, "potential-field distance, m"),
    KX_NUMBER(eta, "potential-field gain"),
    KX_NUMBER(sbound, "singularity threshold, rad"),
    {"line", [](const ServoState& s) -> py::object { return lineDict(s.line); },
     "the virtual line: enabled, p1, p2, closest, direction (m)"},
    KX_NUMBER(numObstacles, "obstacles in use"),
    {"obstacles", [](const ServoState& s) -> py::object { return obstacleList(s); },
     "list of (id, centre (m), radius (m))"},
    KX_ARRAY(posSelect, "positional task selector"),
    KX_ARRAY(oriSelect, "orientational task selector"),
    KX_ARRAY(posSelectT, "its transpose"),
    KX_ARRAY(oriSelectT, "its transpose"),
    KX_ARRAY(forces, "(6) force read-out of the arm"),
    {"kpTable", [](const ServoState& s) -> py::object { return tableArrays(s.kpTable); },
     "per-mode proportional gains, a list of 24 arrays"},
    {"kvTable", [](const ServoState& s) -> py::object { return tableArrays(s.kvTable); },
     "per-mode derivative gains, a list of 24 arrays"},
};

#undef KX_ARRAY
#undef KX_NUMBER

}  // namespace

StateView StateView::snapshot(const ServoState& state) {
  StateView view;
  view.m_state = std::make_shared<const ServoState>(state);
  return view;
}

StateView StateView::live(const ServoState* state, std::shared_ptr<const bool> usable) {
  StateView view;
  // The servo owns the record; the view never frees it.
  view.m_state = std::shared_ptr<const ServoState>(state, [](const ServoState*) {});
  view.m_usable = std::move(usable);
  return view;
}

const ServoState& StateView::record() const {
  if (m_usable && !*m_usable) {
    throw std::runtime_error(
        "this state belongs to a tick that has ended: read its fields inside the law, or use sim.state");
  }
  return *m_state;
}

void bindStateView(py::module_& m) {
  py::class_<StateView> cls(m, "State",
                            "The servo's state record: every field as a numpy array (float64) or a number, "
                            "in radians, metres, seconds and N·m.");
  py::list names;
  for (const Field& field : kFields) {
    const Getter get = field.get;
    cls.def_property_readonly(
        field.name, [get](const StateView& view) { return get(view.record()); }, field.doc);
    names.append(field.name);
  }
  cls.attr("fields") = py::tuple(names);
  cls.def(
      "as_dict",
      [](const StateView& view) {
        py::dict d;
        for (const Field& field : kFields) d[field.name] = field.get(view.record());
        return d;
      },
      "Every field, by name.");
  cls.def("__repr__", [](const StateView& view) {
    const ServoState& s = view.record();
    return py::str("<korvex.State dof={} curTime={:.3f}>").format(s.dof, s.curTime);
  });
}
