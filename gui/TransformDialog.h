// TransformDialog: enter or inspect one rigid frame as a rotation matrix, a
// quaternion, Euler angles (x and y convention), axis-angle in two forms, and
// a Cartesian, cylindrical or spherical translation.
//
// Only the page of each tab that was current at the last user edit counts:
// normalize() converts those two pages into the frame and rewrites every page.
#pragma once

#include <QDialog>

#include "matrix/PrTransform.h"

class QLineEdit;
class QTabWidget;
class QWidget;

class TransformDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TransformDialog(QWidget* parent = nullptr);

  // Stores the frame and rewrites every page; earlier edits no longer count.
  void setTransform(const PrTransform& frame);
  // The frame after normalize().
  PrTransform transform();

 public slots:
  void normalize();
  void translationChanged();
  void rotationChanged();
  void languageChange();

 private:
  QWidget* addPage(QTabWidget* tabs, const char* pageName, const char* tabText, const char* help,
                   const char* const* fieldNames, const char* const* labels, int count, bool rotation);
  QLineEdit* field(const char* name) const;
  float value(const char* name) const;
  float degrees(const char* name) const;  // the field's value converted to radians
  void write(const char* name, float value, int decimals);
  PrVector3 editedTranslation() const;
  PrQuaternion editedRotation() const;
  void init();

  PrTransform m_frame;
  QTabWidget* m_rotationTab = nullptr;
  QTabWidget* m_translationTab = nullptr;
  QWidget* m_lastRotationPage = nullptr;
  QWidget* m_lastTranslationPage = nullptr;
  QList<QLineEdit*> m_fields;  // page by page, for the keyboard order
};
