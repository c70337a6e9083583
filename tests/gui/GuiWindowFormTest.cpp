// The form as a user meets it: fields that act when left, obstacles that keep
// their spheres, a layout without wasted room, a view that takes the window's
// space, and refresh periods taken from the configuration.
#include <QGroupBox>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "GuiWindowFixture.h"
#include "app/Configuration.h"
#include "gui/RobotWidget.h"
#include "gui/TransformDialog.h"

namespace {

class GuiWindowForm : public GuiWindowTest {
 protected:
  std::set<int> sphereIds() {
    std::set<int> ids;
    for (const Obstacle& s : m_gui->robotWidget()->spheres()) ids.insert(s.id);
    return ids;
  }
  // The window at its starting size, laid out.
  void showWindow() {
    m_gui->show();
    ASSERT_TRUE(processUntil([&] { return m_gui->robotWidget()->framesDrawn() > 0; }));
  }
  QRect inWindow(const QWidget* widget) {
    return QRect(widget->mapTo(m_gui.get(), QPoint()), widget->size());
  }
};

TEST_F(GuiWindowForm, DeletingAnyObstacleKeepsTheOthersSpheres) {
  testing::internal::CaptureStderr();
  sendConfiguration({3, 6, 7, {0, 1, 2, 3}});
  refresh();
  EXPECT_EQ(sphereIds(), std::set<int>({0, 1, 2, 3}));
  sendConfiguration({3, 6, 7, {0, 2, 3}});  // a middle one
  refresh();
  EXPECT_EQ(sphereIds(), std::set<int>({0, 2, 3}));
  sendConfiguration({3, 6, 7, {2, 3}});  // the first
  refresh();
  EXPECT_EQ(sphereIds(), std::set<int>({2, 3}));
  auto* table = child<QTableWidget>("obstacleTable");
  ASSERT_EQ(table->rowCount(), 2);
  EXPECT_EQ(table->verticalHeaderItem(0)->text(), "2");
  sendConfiguration({3, 6, 7, {}});
  refresh();
  EXPECT_TRUE(sphereIds().empty());
  EXPECT_EQ(table->rowCount(), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr().find("non-existent"), std::string::npos);
}

TEST_F(GuiWindowForm, LeavingAFieldRunsItsSlotEveryTime) {
  // One joint: the six-field group never matches, so each leave sends.
  sendConfiguration({0, 1, 1, {}});
  refresh();
  leave("qmin_0");
  EXPECT_EQ(status(), "qmin -160.0");
  leave("qmin_0");
  EXPECT_EQ(requestInts().size(), 2u);
  // A scalar left unchanged sends nothing; changed and left, it sends.
  leave("vmax");
  EXPECT_TRUE(requestInts().empty());
  field("vmax")->setText("0.5");
  leave("vmax");
  EXPECT_EQ(status(), "vmax 0.5");
  EXPECT_EQ(requestInts().size(), 1u);
}

TEST_F(GuiWindowForm, AnEmptiedFieldReportsTheConsolesError) {
  typeInto("vmax", "");
  char reply[CommandDispatcher::kReplySize] = "";
  ASSERT_FALSE(m_console->processCommand("vmax ", reply));
  EXPECT_EQ(status(), QString::fromLatin1(reply));
  EXPECT_FALSE(status().isEmpty());
  EXPECT_TRUE(requestInts().empty());
}

TEST_F(GuiWindowForm, RowsAndGroupsTakeNoMoreHeightThanTheyNeed) {
  showWindow();
  for (const char* name : {"controlRows", "groupBox5", "groupBox12", "groupBox4"}) {
    const QWidget* widget = child<QWidget>(name);
    EXPECT_LE(widget->height(), widget->sizeHint().height() + 4) << name;
  }
  child<QTabWidget>("tabWidget")->setCurrentIndex(1);
  QApplication::processEvents();
  for (const char* name : {"jointSettings", "lineBox", "otherSettings", "checkSettings"}) {
    const QWidget* widget = child<QWidget>(name);
    EXPECT_LE(widget->height(), widget->sizeHint().height() + 4) << name;
  }
}

TEST_F(GuiWindowForm, OutputFileHeadingsStandOverTheirColumns) {
  showWindow();
  const int gather = inWindow(child<QLabel>("gatherHead")).center().x();
  const int plot = inWindow(child<QLabel>("plotHead")).center().x();
  const QRect gatherColumn = inWindow(field("gatherFile")).united(inWindow(child<QPushButton>("stopGather")));
  const QRect plotColumn = inWindow(field("plotFile")).united(inWindow(child<QPushButton>("stopPlot")));
  EXPECT_TRUE(gather >= gatherColumn.left() - 60 && gather <= gatherColumn.right()) << gather;
  EXPECT_TRUE(plot >= plotColumn.left() - 60 && plot <= plotColumn.right()) << plot;
  EXPECT_LT(gatherColumn.right(), plotColumn.left());
}

TEST_F(GuiWindowForm, ObstacleTableShowsFourRowsWithoutScrolling) {
  sendConfiguration({3, 6, 7, {0, 1, 2, 3, 4}});
  refresh();
  showWindow();
  child<QTabWidget>("tabWidget")->setCurrentIndex(1);
  QApplication::processEvents();
  auto* table = child<QTableWidget>("obstacleTable");
  for (int row = 0; row < 4; ++row)
    EXPECT_TRUE(table->viewport()->rect().contains(table->visualRect(table->model()->index(row, 3)))) << row;
  EXPECT_FALSE(inWindow(table).intersects(inWindow(child<QPushButton>("addObstacle"))));
}

TEST_F(GuiWindowForm, TransformDialogShowsEveryTab) {
  TransformDialog dialog(m_gui.get());
  dialog.show();
  QApplication::processEvents();
  for (const char* name : {"rotationTab", "translationTab"}) {
    const QTabBar* bar = dialog.findChild<QTabWidget*>(name)->tabBar();
    for (int i = 0; i < bar->count(); ++i)
      EXPECT_TRUE(bar->rect().contains(bar->tabRect(i))) << name << " tab " << bar->tabText(i).toStdString();
  }
}

TEST_F(GuiWindowForm, TheViewTakesTheRoomTheWindowGains) {
  showWindow();
  const RobotWidget* view = m_gui->robotWidget();
  const QWidget* form = child<QWidget>("frame10");
  EXPECT_GT(view->width(), form->width() * 8 / 10);
  EXPECT_GT(view->height(), m_gui->height() * 8 / 10);
  const int viewWidth = view->width(), formWidth = form->width();
  m_gui->resize(m_gui->width() - 100, m_gui->height());
  ASSERT_TRUE(processUntil([&] { return view->width() != viewWidth; }));
  EXPECT_NEAR(view->width(), viewWidth - 100, 4);
  EXPECT_NEAR(form->width(), formWidth, 4);
}

TEST_F(GuiWindowForm, TheSplitComesBackFromItsSavedState) {
  showWindow();
  auto* splitter = child<QSplitter>("viewSplitter");
  const int total = splitter->sizes()[0] + splitter->sizes()[1];
  splitter->setSizes({total - 900, 900});
  const QList<int> chosen = splitter->sizes();
  const QByteArray state = m_gui->viewSplitState();

  Gui again(*m_console);
  EXPECT_TRUE(again.restoreViewSplit(state));
  again.show();
  ASSERT_TRUE(processUntil([&] { return again.robotWidget()->framesDrawn() > 0; }));
  EXPECT_EQ(again.findChild<QSplitter*>("viewSplitter")->sizes(), chosen);
}

// The configuration's periods, for one window built while they are set.
class GuiWindowPeriods : public GuiWindowTest {
 protected:
  std::unique_ptr<Gui> windowWith(int caption, int graphic) {
    const int savedCaption = refreshRateCaption, savedGraphic = refreshRateGraphic;
    refreshRateCaption = caption;
    refreshRateGraphic = graphic;
    auto window = std::make_unique<Gui>(*m_console);
    refreshRateCaption = savedCaption;
    refreshRateGraphic = savedGraphic;
    return window;
  }
};

TEST_F(GuiWindowPeriods, TheGraphicPeriodReachesTheView) {
  EXPECT_EQ(windowWith(100, 40)->robotWidget()->refreshPeriod(), 40);
  EXPECT_EQ(windowWith(100, 0)->robotWidget()->refreshPeriod(), 0);
}

TEST_F(GuiWindowPeriods, ACaptionPeriodOfZeroStillRefreshesTheReadOuts) {
  auto window = windowWith(0, 0);
  window->show();
  auto* q2 = window->findChild<QLineEdit*>("qOut_2");
  // The stand-in servo answers every request with the same joint positions.
  EXPECT_TRUE(processUntil([&] {
    sendState(SERVO_Q, {1, 2, 33.5f, 4, 5, 6});
    m_console->pollServoMessages();
    drainRequests();
    return q2->text() == "33.5";
  }));
}

}  // namespace
