#include "libpuma/PrRobotDescription.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "utility/consolePrint.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// Reads numbers in order and remembers the first problem, so the caller can
// read a whole record and check once.
class NumberReader {
 public:
  NumberReader(std::FILE* file, const char* path) : m_file(file), m_path(path) {}

  void setContext(const std::string& context) { m_context = context; }
  bool ok() const { return m_error.empty(); }

  int integer(const char* field) {
    int value = 0;
    if (!ok()) return value;
    if (std::fscanf(m_file, "%d", &value) != 1) fail(field, "missing or not an integer");
    return value;
  }
  float real(const char* field) {
    float value = 0.0f;
    if (!ok()) return value;
    if (std::fscanf(m_file, "%f", &value) != 1)
      fail(field, "missing or not a number");
    else if (!std::isfinite(value))
      fail(field, "not a finite number");
    return value;
  }
  void vector3(const char* field, PrVector3& v) {
    const float x = real(field), y = real(field), z = real(field);
    v.set(x, y, z);
  }
  void fail(const char* field, const char* problem) {
    if (!ok()) return;
    m_error = m_context.empty() ? std::string(field) : m_context + ", " + field;
    m_error += ": ";
    m_error += problem;
  }
  // The one-line report; false for the caller to return.
  bool report() const {
    consolePrint("Error: robot description file(%s): %s\n", m_path, m_error.c_str());
    return false;
  }

 private:
  std::FILE* m_file;
  const char* m_path;
  std::string m_context;
  std::string m_error;
};

void checkInertial(NumberReader& in, const PrLinkRecord& r) {
  if (r.mass < 0.0f) in.fail("mass", "negative");
  if (r.inertia[0] < 0.0f || r.inertia[1] < 0.0f || r.inertia[2] < 0.0f) in.fail("inertia", "negative");
  if (r.jointType != 0 && r.jointType != 1) in.fail("joint type", "neither 0 (prismatic) nor 1 (revolute)");
}

void readFormatA(NumberReader& in, int n, PrRobotDescription& out) {
  const int numEnd = in.integer("number of end-effector records");
  if (in.ok() && numEnd != 2)
    in.fail("number of end-effector records", "must be 2 (the records 999 and 888)");
  in.vector3("gravity", out.gravity);
  for (int k = 0; k < n + numEnd && in.ok(); ++k) {
    const bool joint = k < n;
    in.setContext((joint ? "joint record " : "end-effector record ") +
                  std::to_string(joint ? k + 1 : k - n + 1));
    PrLinkRecord r;
    r.id = in.integer("id");
    r.jointType = in.integer("joint type");
    r.alpha = in.real("alpha");
    r.a = in.real("a");
    r.d = in.real("d");
    r.theta = in.real("theta");
    r.mass = in.real("mass");
    in.vector3("centre of mass", r.com);
    in.vector3("inertia", r.inertia);
    if (joint) {
      r.rotorInertia = in.real("rotor inertia");
      in.vector3("friction", r.friction);
      r.qMin = in.real("qmin");
      r.qMax = in.real("qmax");
      if (r.rotorInertia < 0.0f) in.fail("rotor inertia", "negative");
      if (r.friction[0] < 0.0f || r.friction[1] < 0.0f || r.friction[2] < 0.0f)
        in.fail("friction", "negative");
      if (in.ok() && r.inertia[2] + r.rotorInertia <= 0.0f)
        in.fail("inertia", "no inertia about the joint axis (Izz + Ir must be positive)");
    } else {
      in.vector3("point", r.point);
    }
    checkInertial(in, r);
    (joint ? out.joints : out.endEffectors).push_back(r);
  }
  in.setContext("");
  if (!in.ok()) return;
  bool haveTool = false, haveGripper = false;
  for (const PrLinkRecord& r : out.endEffectors) {
    haveTool |= r.id == PrRobotDescription::kToolRecordId;
    haveGripper |= r.id == PrRobotDescription::kGripperRecordId;
  }
  if (!haveTool) in.fail("end-effector records", "no record with id 999 (tool point)");
  if (!haveGripper) in.fail("end-effector records", "no record with id 888 (gripper)");
}

void readFormatB(NumberReader& in, int n, PrRobotDescription& out) {
  in.vector3("gravity", out.gravity);
  PrVector3 axis;
  in.vector3("root rotation axis", axis);
  const float angle = in.real("root rotation angle");
  PrVector3 translation;
  in.vector3("root translation", translation);
  if (axis.magnitude() > 0.0f) axis.normalize();
  out.rootFrame.rotation.fromAxisAngle(axis, axis.magnitude() > 0.0f ? angle : 0.0f);
  out.rootFrame.translation = translation;
  for (int k = 0; k < n && in.ok(); ++k) {
    in.setContext("link record " + std::to_string(k + 1));
    PrLinkRecord r;
    r.id = in.integer("id");
    r.jointType = in.integer("joint type");
    r.jointAxis = in.integer("joint axis");
    in.vector3("home rotation axis", axis);
    const float homeAngle = in.real("home rotation angle");
    in.vector3("home translation", r.home.translation);
    in.vector3("centre of mass", r.com);
    r.mass = in.real("mass");
    in.vector3("inertia", r.inertia);
    r.qMin = in.real("qmin");
    r.qMax = in.real("qmax");
    if (in.ok() && (r.jointAxis < 0 || r.jointAxis > 2)) in.fail("joint axis", "not 0, 1 or 2");
    if (in.ok() && r.inertia[r.jointAxis] <= 0.0f) in.fail("inertia", "no inertia about the joint axis");
    checkInertial(in, r);
    if (axis.magnitude() > 0.0f) axis.normalize();
    r.home.rotation.fromAxisAngle(axis, axis.magnitude() > 0.0f ? homeAngle : 0.0f);
    if (in.ok()) consolePrint("%d: %f<q<%f\n", k, r.qMin, r.qMax);
    out.joints.push_back(r);
  }
}

}  // namespace

bool readRobotDescription(const char* path, int n, int format, PrRobotDescription& out) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "r"));
  if (!file) {
    consolePrint("Error: couldn't open file(%s)\n", path);
    return false;
  }
  out = PrRobotDescription();
  out.format = format == 1 ? 1 : 0;
  NumberReader in(file.get(), path);
  if (n < 1) in.fail("joints", "a robot needs at least one joint");
  if (format == 1)
    readFormatB(in, n, out);
  else
    readFormatA(in, n, out);
  return in.ok() || in.report();
}
