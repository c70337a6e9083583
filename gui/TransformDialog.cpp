#include "gui/TransformDialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

#include "matrix/PrMatrix.h"
#include "utility/Angles.h"

namespace {

constexpr float kDegToRad = kPiF / 180.0f;
constexpr float kRadToDeg = 180.0f / kPiF;
constexpr float kTiny = 0.00001f;

const char* const kMatFields[] = {"mat_x0", "mat_y0", "mat_z0", "mat_x1", "mat_y1",
                                  "mat_z1", "mat_x2", "mat_y2", "mat_z2"};
const char* const kMatLabels[] = {"<sup>0</sup>x<sub>i</sub>",
                                  "<sup>0</sup>y<sub>i</sub>",
                                  "<sup>0</sup>z<sub>i</sub>",
                                  "",
                                  "",
                                  "",
                                  "",
                                  "",
                                  ""};
const char* const kQuatFields[] = {"quat_w", "quat_vx", "quat_vy", "quat_vz"};
const char* const kQuatLabels[] = {"w (λ0)", "vx (λ1)", "vy (λ2)", "vz (λ3)"};
const char* const kEaFields[] = {"ea_psi", "ea_theta", "ea_phi"};
const char* const kEayFields[] = {"eay_psi", "eay_theta", "eay_phi"};
const char* const kEulerLabels[] = {"ψ", "θ", "φ"};
const char* const kAaFields[] = {"aa_theta", "aa_ux", "aa_uy", "aa_uz"};
const char* const kAaLabels[] = {"θ", "ux", "uy", "uz"};
const char* const kAa2Fields[] = {"aa2_ax", "aa2_ay", "aa2_az"};
const char* const kAa2Labels[] = {"ax", "ay", "az"};
const char* const kCartFields[] = {"cart_x", "cart_y", "cart_z"};
const char* const kCartLabels[] = {"x", "y", "z"};
const char* const kCylFields[] = {"cyl_r", "cyl_theta", "cyl_z"};
const char* const kCylLabels[] = {"r", "θ", "z"};
const char* const kSphFields[] = {"sph_r", "sph_theta", "sph_phi"};
const char* const kSphLabels[] = {"r", "θ", "φ"};

}  // namespace

TransformDialog::TransformDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("TransformDialog");
  auto* layout = new QVBoxLayout(this);

  auto* rotationGroup = new QGroupBox(this);
  rotationGroup->setObjectName("groupBox7");
  auto* rotationLayout = new QVBoxLayout(rotationGroup);
  m_rotationTab = new QTabWidget(rotationGroup);
  m_rotationTab->setObjectName("rotationTab");
  m_rotationTab->setUsesScrollButtons(false);  // the dialog is as wide as all six tabs
  rotationLayout->addWidget(m_rotationTab);
  addPage(m_rotationTab, "mat_page", "Rot. Matrix",
          "The columns are unit vectors along the axes of the rotated frame.", kMatFields, kMatLabels, 9,
          true);
  addPage(m_rotationTab, "quat_page", "Quaternion",
          "Euler parameters: a scalar w and a vector v. For a rotation by θ about the unit vector u, "
          "w = cos(θ/2) and v = sin(θ/2)·u, so w² + vx² + vy² + vz² = 1; also called λ0 to λ3.",
          kQuatFields, kQuatLabels, 4, true);
  addPage(m_rotationTab, "ea_page", "Euler Angles",
          "x convention: rotate about z by ψ, then about x by θ, then about z by φ.", kEaFields, kEulerLabels,
          3, true);
  addPage(m_rotationTab, "eay_page", "Euler Angles (Y)",
          "y convention: rotate about z, then y, then z; this is how the last three joints of the PUMA "
          "move with the first three at home.",
          kEayFields, kEulerLabels, 3, true);
  addPage(m_rotationTab, "aa_page", "Axis-Angle",
          "Rotate by θ about the unit vector u. Quaternions are better for computation.", kAaFields,
          kAaLabels, 4, true);
  addPage(m_rotationTab, "aa2_page", "Axis-Angle(2)",
          "θ multiplied into u: the vector's direction is the axis, its length the angle.", kAa2Fields,
          kAa2Labels, 3, true);
  layout->addWidget(rotationGroup);

  auto* translationGroup = new QGroupBox(this);
  translationGroup->setObjectName("groupBox6");
  auto* translationLayout = new QVBoxLayout(translationGroup);
  m_translationTab = new QTabWidget(translationGroup);
  m_translationTab->setObjectName("translationTab");
  m_translationTab->setUsesScrollButtons(false);
  translationLayout->addWidget(m_translationTab);
  addPage(m_translationTab, "cart_page", "Cartesian Coordinates", "Distances along x, y and z.", kCartFields,
          kCartLabels, 3, false);
  addPage(m_translationTab, "cyl_page", "Cylindrical Coordinates",
          "z above the x-y plane and the polar coordinates (r, θ) of the projection onto it.", kCylFields,
          kCylLabels, 3, false);
  addPage(m_translationTab, "sph_page", "Spherical Coordinates",
          "r from the origin, θ about the z axis (0 ≤ θ ≤ 2π) and φ from the +z axis (0 ≤ φ ≤ π).",
          kSphFields, kSphLabels, 3, false);
  layout->addWidget(translationGroup);

  auto* buttons = new QHBoxLayout;
  auto* normalizeButton = new QPushButton(this);
  normalizeButton->setObjectName("normalizeButton");
  auto* okButton = new QPushButton(this);
  okButton->setObjectName("okButton");
  okButton->setDefault(true);
  auto* cancelButton = new QPushButton(this);
  cancelButton->setObjectName("cancelButton");
  buttons->addWidget(normalizeButton);
  buttons->addStretch();
  buttons->addWidget(okButton);
  buttons->addWidget(cancelButton);
  layout->addLayout(buttons);
  connect(normalizeButton, &QPushButton::clicked, this, &TransformDialog::normalize);
  connect(okButton, &QPushButton::clicked, this, &TransformDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &TransformDialog::reject);

  languageChange();
  init();
}

QWidget* TransformDialog::addPage(QTabWidget* tabs, const char* pageName, const char* tabText,
                                  const char* help, const char* const* fieldNames, const char* const* labels,
                                  int count, bool rotation) {
  auto* page = new QWidget(tabs);
  page->setObjectName(pageName);
  auto* grid = new QGridLayout(page);
  // The matrix page is three columns of three; the others one row of fields.
  const int columns = count == 9 ? 3 : count;
  for (int i = 0; i < count; ++i) {
    const int row = i / columns, column = i % columns;
    if (row == 0) {
      auto* label = new QLabel(QString::fromUtf8(labels[i]), page);
      label->setTextFormat(Qt::RichText);
      grid->addWidget(label, 0, column);
    }
    auto* edit = new QLineEdit("0.0", page);
    edit->setObjectName(fieldNames[i]);
    grid->addWidget(edit, row + 1, column);
    m_fields.append(edit);
    if (rotation)
      connect(edit, &QLineEdit::textChanged, this, &TransformDialog::rotationChanged);
    else
      connect(edit, &QLineEdit::textChanged, this, &TransformDialog::translationChanged);
  }
  auto* helpLabel = new QLabel(QString::fromUtf8(help), page);
  helpLabel->setTextFormat(Qt::RichText);
  helpLabel->setWordWrap(true);
  grid->addWidget(helpLabel, grid->rowCount(), 0, 1, columns);
  tabs->addTab(page, QString::fromUtf8(tabText));
  return page;
}

void TransformDialog::languageChange() {
  setWindowTitle("Transformation");
  findChild<QGroupBox*>("groupBox7")->setTitle("rotation");
  findChild<QGroupBox*>("groupBox6")->setTitle("translation");
  findChild<QPushButton*>("normalizeButton")->setText("Normalize");
  findChild<QPushButton*>("okButton")->setText("OK");
  findChild<QPushButton*>("cancelButton")->setText("Cancel");
}

void TransformDialog::init() {
  m_lastRotationPage = nullptr;
  m_lastTranslationPage = nullptr;
  setTransform(PrTransform());
  for (int i = 1; i < m_fields.size(); ++i) setTabOrder(m_fields[i - 1], m_fields[i]);
}

QLineEdit* TransformDialog::field(const char* name) const { return findChild<QLineEdit*>(name); }

float TransformDialog::value(const char* name) const { return field(name)->text().toFloat(); }

float TransformDialog::degrees(const char* name) const { return value(name) * kDegToRad; }

void TransformDialog::write(const char* name, float value, int decimals) {
  field(name)->setText(QString::number(double(value), 'f', decimals));
}

void TransformDialog::rotationChanged() { m_lastRotationPage = m_rotationTab->currentWidget(); }

void TransformDialog::translationChanged() { m_lastTranslationPage = m_translationTab->currentWidget(); }

PrVector3 TransformDialog::editedTranslation() const {
  const QString page = m_lastTranslationPage ? m_lastTranslationPage->objectName() : QString();
  if (page == "cyl_page") {
    const float r = value("cyl_r"), theta = degrees("cyl_theta");
    return PrVector3(r * std::cos(theta), r * std::sin(theta), value("cyl_z"));
  }
  if (page == "sph_page") {
    const float r = value("sph_r"), theta = degrees("sph_theta"), phi = degrees("sph_phi");
    return PrVector3(r * std::sin(phi) * std::cos(theta), r * std::sin(phi) * std::sin(theta),
                     r * std::cos(phi));
  }
  if (page == "cart_page") return PrVector3(value("cart_x"), value("cart_y"), value("cart_z"));
  return m_frame.translation;
}

PrQuaternion TransformDialog::editedRotation() const {
  const QString page = m_lastRotationPage ? m_lastRotationPage->objectName() : QString();
  PrQuaternion q = m_frame.rotation;
  if (page == "mat_page") {
    PrMatrix m(3, 3);
    bool degenerate = false;
    for (int col = 0; col < 3; ++col) {
      PrVector3 c(value(kMatFields[col]), value(kMatFields[3 + col]), value(kMatFields[6 + col]));
      const float length = c.magnitude();
      if (!(length >= kTiny)) {
        degenerate = true;
        break;
      }
      for (int row = 0; row < 3; ++row) m(row, col) = c[row] / length;
    }
    if (degenerate)
      q.identity();
    else
      q.fromRotationMatrix(m);
  } else if (page == "quat_page") {
    q = PrQuaternion(value("quat_w"), value("quat_vx"), value("quat_vy"), value("quat_vz"));
  } else if (page == "ea_page") {
    q.fromEulerZXZ(degrees("ea_psi"), degrees("ea_theta"), degrees("ea_phi"));
  } else if (page == "eay_page") {
    q.fromEulerZYZ(degrees("eay_psi"), degrees("eay_theta"), degrees("eay_phi"));
  } else if (page == "aa_page") {
    PrVector3 u(value("aa_ux"), value("aa_uy"), value("aa_uz"));
    const float length = u.magnitude();
    if (length > kTiny)
      u /= length;
    else
      u = PrVector3(1, 0, 0);
    q.fromAxisAngle(u, degrees("aa_theta"));
  } else if (page == "aa2_page") {
    PrVector3 a(value("aa2_ax"), value("aa2_ay"), value("aa2_az"));
    const float length = a.magnitude();
    if (length > kTiny)
      q.fromAxisAngle(a / length, length * kDegToRad);
    else
      q.identity();
  }
  // A typed quaternion may be of any length, or not a number at all.
  const float length = std::sqrt(q.dot(q));
  if (length > kTiny && std::isfinite(length))
    q = PrQuaternion(q.w / length, q.v[0] / length, q.v[1] / length, q.v[2] / length);
  else
    q.identity();
  return q;
}

void TransformDialog::normalize() {
  if (!m_lastRotationPage && !m_lastTranslationPage) return;
  setTransform(PrTransform(editedRotation(), editedTranslation()));
}

void TransformDialog::setTransform(const PrTransform& frame) {
  m_frame = frame;
  const PrVector3& t = frame.translation;
  write("cart_x", t[0], 3);
  write("cart_y", t[1], 3);
  write("cart_z", t[2], 3);
  const float rho = std::sqrt(t[0] * t[0] + t[1] * t[1]);
  const float azimuth = std::atan2(t[1], t[0]) * kRadToDeg;
  write("cyl_r", rho, 3);
  write("cyl_theta", azimuth, 2);
  write("cyl_z", t[2], 3);
  write("sph_r", t.magnitude(), 3);
  write("sph_theta", azimuth, 2);
  write("sph_phi", std::atan2(rho, t[2]) * kRadToDeg, 2);

  PrMatrix m;
  frame.rotation.toRotationMatrix(m);
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) write(kMatFields[3 * row + col], m(row, col), 3);
  const PrQuaternion& q = frame.rotation;
  write("quat_w", q.w, 3);
  write("quat_vx", q.v[0], 3);
  write("quat_vy", q.v[1], 3);
  write("quat_vz", q.v[2], 3);
  float a, b, c;
  q.toEulerZXZ(a, b, c);
  write("ea_psi", a * kRadToDeg, 2);
  write("ea_theta", b * kRadToDeg, 2);
  write("ea_phi", c * kRadToDeg, 2);
  q.toEulerZYZ(a, b, c);
  write("eay_psi", a * kRadToDeg, 2);
  write("eay_theta", b * kRadToDeg, 2);
  write("eay_phi", c * kRadToDeg, 2);
  PrVector3 u;
  float angle = 0;
  q.toAxisAngle(u, angle);
  write("aa_theta", angle * kRadToDeg, 2);
  write("aa_ux", u[0], 3);
  write("aa_uy", u[1], 3);
  write("aa_uz", u[2], 3);
  write("aa2_ax", u[0] * angle * kRadToDeg, 2);
  write("aa2_ay", u[1] * angle * kRadToDeg, 2);
  write("aa2_az", u[2] * angle * kRadToDeg, 2);

  // Writing the fields fired their change signals; only later user edits count.
  m_lastRotationPage = nullptr;
  m_lastTranslationPage = nullptr;
}

PrTransform TransformDialog::transform() {
  normalize();
  return m_frame;
}
