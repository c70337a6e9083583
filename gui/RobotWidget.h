// RobotWidget: the 3D view of the arm, its obstacles, the virtual line, the
// spring and the inertia/limit surfaces; also an input device that turns the
// camera, drags obstacles and line end points and pulls links with a spring.
//
// The view is a window of its own, put into forms by RobotViewFrame: it then
// draws straight to its part of the screen, and the form around it is not
// composed again with every frame of the view (nor the view with every change
// of a read-out).
//
// Everything it changes in the system it changes by console commands sent to
// the CommandDispatcher given with setConsole(). It runs on the GUI thread;
// only the sphere list is shared, under m_sphereMutex.
//
// Redrawing: a change of what is drawn marks the view changed. Motion (joint
// positions, display data) is drawn at the next tick of the refresh timer;
// obstacles, the line, the robot type, display options and the spring are
// drawn at once. With a period of 0 or less there is no timer and every
// change is drawn as soon as it arrives. An unchanged scene is not redrawn.
#pragma once

#include <qopengl.h>

#include <QImage>
#include <QOpenGLWindow>
#include <QTimer>
#include <memory>
#include <mutex>
#include <vector>

#include "gui/ViewGoal.h"
#include "matrix/PrVector.h"
#include "matrix/PrVector3.h"
#include "servo/ServoState.h"

class CommandDispatcher;
class CGLPuma;
class IRobotModel;
class QAction;
class QMenu;

class RobotWidget : public QOpenGLWindow {
  Q_OBJECT

 public:
  enum DisplayOption {
    kDisplayMsi = 0,
    kDisplayMaxVelocity,  // effective inertia
    kDisplayAccLimit,
    kDisplaySForceLimit,  // velocity limit
    kDisplayEmassOnEndEffector,
    kDisplayEmassOnContactPoint,
    kDisplayEmassAsEllipsoid,
    kDisplayOptionCount
  };
  enum Mode { kIdle = 0, kCamera = 1, kLineEnd = 2, kSphere = 3, kContact = 4 };
  static constexpr unsigned kNameLineA = 0x10000000;
  static constexpr unsigned kNameLineB = 0x10000001;
  static constexpr unsigned kNameSphere = 0x20000000;
  static constexpr unsigned kNameBackground = 0x30000000;

  // Scene guides, each with a check entry in the popup menu.
  enum Guide { kGroundGrid = 0, kBaseAxes, kGuideCount };
  // The goal's marks, each with a check entry in the popup menu: the goal
  // tool frame's axes, the ghost of the goal configuration, the goal's foot
  // point on the virtual line.
  enum GoalMark { kGoalFrame = 0, kGoalArm, kGoalLineFoot, kGoalMarkCount };

  // refreshMs: redraw period (REFRESH_RATE_GRAPHIC), see setRefreshPeriod.
  explicit RobotWidget(QWindow* parent = nullptr, int refreshMs = 0);
  ~RobotWidget() override;

  // Period of the refresh timer in ms; 0 or less: changes are drawn as they come.
  void setRefreshPeriod(int ms);
  int refreshPeriod() const { return m_refreshMs; }
  // Frames painted on screen so far.
  int framesDrawn() const { return m_framesDrawn; }
  // Draws the scene once more into an image of the view's size, off screen;
  // a null image before the view was first shown.
  QImage snapshot();

  void setConsole(CommandDispatcher* console) { m_console = console; }

  // The model of robotType (0–6), owned by the view; null for an unknown type.
  IRobotModel* switchRobotType(int robotType);
  IRobotModel* model() const { return m_model.get(); }
  int robotType() const { return m_robotType; }
  // q: the model's joints, degrees. An empty q is ignored.
  void setJointPositions(const PrVector& q);
  void setSphere(const Obstacle& sphere);
  void removeSphere(int id);
  std::vector<Obstacle> spheres() const;
  void setLine(const VirtualLine& line);
  const VirtualLine& line() const { return m_line; }

  void setMsiData(const PrVector& v) { storeDisplayData(m_msi, v); }
  void setEMassData(const PrVector& v) { storeDisplayData(m_emass, v); }
  void setAccLimitData(const PrVector& v) { storeDisplayData(m_accLimit, v); }
  void setVelLimitData(const PrVector& v) { storeDisplayData(m_velLimit, v); }
  bool displayOption(DisplayOption option) const { return m_display[option] != 0; }
  QAction* displayAction(DisplayOption option) const { return m_displayActions[option]; }
  QMenu* popupMenu() const { return m_menu.get(); }
  bool guideShown(Guide guide) const { return m_guides[guide]; }
  QAction* guideAction(Guide guide) const { return m_guideActions[guide]; }

  // What the control law aims at; drawn with the next frame when it moved.
  void setGoal(const ViewGoal& goal);
  const ViewGoal& goal() const { return m_goal; }
  bool goalMarkShown(GoalMark mark) const { return m_goalMarks[mark]; }
  QAction* goalMarkAction(GoalMark mark) const { return m_goalMarkActions[mark]; }

  // A point given in the frame of loadLinkFrame(link), in world coordinates.
  PrVector3 linkToWorld(int link, const PrVector3& local);

  Mode mode() const { return m_mode; }
  const float* eyeFrame() const { return m_eye; }
  // The name under the pixel (x, y) (widget coordinates) and its eye distance;
  // kNameBackground and 1 when nothing is there. Links the model does not
  // drive give way to the next lower one.
  unsigned pick(int x, int y, float& distance);

 signals:
  void selectSphere(int id);

 public slots:
  void resetEyeFrame();
  void rotateLeft();
  void rotateRight();
  void rotateDown();
  void rotateUp();
  void enableHRotate(int);
  void enableVRotate(int);
  void toggleDisplayMSIOnEndEffector(int);
  void toggleDisplaySForceLimit(int);
  void toggleDisplayMaxVelocity(int);
  void toggleDisplayAccLimit(int);
  void toggleDisplayEmassOnEndEffector(int);
  void toggleDisplayEmassOnContactPoint(int);
  void toggleDisplayEmassAsEllipsoid(int);
  void toggleGuide(int guide);
  void toggleGoalMark(int mark);

 protected:
  void initializeGL() override;
  void resizeGL(int w, int h) override;
  void paintGL() override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void buildMenu();
  // Drawn state changed: redrawn at once, or with the next timer tick.
  void markChanged(bool drawNow);
  void storeDisplayData(PrVector& stored, const PrVector& v);
  void toggleDisplay(DisplayOption option, const char* command);
  void rotateEye(float degrees, int row);  // about the camera's axis `row` (0: x, 1: y)
  void turnEye(float degrees);             // about the world's z axis
  void setProjection();
  void renderFrame(int pixelWidth, int pixelHeight);
  void drawScene(GLenum renderMode);
  void drawSurfaces();
  void drawEllipsoidSurface();
  void drawHull(const PrVector& points, float scale);
  void drawEMass();
  void drawSpring();
  void drawSpheres(GLenum renderMode);
  void drawLine(GLenum renderMode);
  void drawGuides();
  void drawGoal();
  PrVector fullAngles(const PrVector& q) const;  // model joints -> the arm's six, degrees
  void drawGhostArm();
  PrVector3 linkOrigin(int link);                         // world origin of loadLinkFrame(link)
  PrVector3 linkPoint(int link, const PrVector3& local);  // a point of that link in world
  PrVector3 worldToLink(int link, const PrVector3& world);
  PrVector3 eyeToWorld(const PrVector3& eyePoint) const;
  void handleDrag(float x, float y, Qt::KeyboardModifiers modifiers);
  bool sendCommand(const char* format, ...) __attribute__((format(printf, 2, 3)));

  CommandDispatcher* m_console = nullptr;
  std::unique_ptr<IRobotModel> m_model;
  std::unique_ptr<CGLPuma> m_glRobot;
  int m_robotType = -1;
  float m_eye[16];           // OpenGL model-view matrix of the camera, column-major
  bool m_eyePending = true;  // resetEyeFrame waits for the context
  char m_display[kDisplayOptionCount] = {0, 0, 0, 0, 0, 0, 1};
  QAction* m_displayActions[kDisplayOptionCount] = {};
  QAction* m_hRotateAction = nullptr;
  QAction* m_vRotateAction = nullptr;
  int m_hRotate = 1;
  int m_vRotate = 0;
  Mode m_mode = kIdle;
  int m_grabbed = 0;
  int m_contactLink = 0;
  PrVector3 m_contactPoint;
  float m_lastX = 0, m_lastY = 0;
  PrVector3 m_eyePoint, m_worldPoint, m_grabOffset;
  mutable std::mutex m_sphereMutex;
  std::vector<Obstacle> m_spheres;
  VirtualLine m_line;
  PrVector m_msi, m_emass, m_accLimit, m_velLimit;
  GLuint m_sphereList = 0;
  GLuint m_markerList = 0;
  bool m_guides[kGuideCount] = {true, true};
  QAction* m_guideActions[kGuideCount] = {};
  ViewGoal m_goal;
  std::unique_ptr<CGLPuma> m_ghostRobot;  // the goal configuration, translucent
  bool m_goalMarks[kGoalMarkCount] = {true, true, true};
  QAction* m_goalMarkActions[kGoalMarkCount] = {};
  std::unique_ptr<QMenu> m_menu;  // a window has no widget to own it
  QTimer m_refreshTimer;
  int m_refreshMs = 0;
  bool m_changed = true;
  static constexpr float kVisibleAngle = 0.01f;  // degrees
  PrVector m_drawnAngles{6};                     // the pose of the last frame
  int m_framesDrawn = 0;
};
