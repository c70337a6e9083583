// The window's Control menu.
#include <QAction>

#include "GuiWindowFixture.h"

namespace {

TEST_F(GuiWindowTest, ControlMenuReloadsThePlugin) {
  auto* reload = m_gui->findChild<QAction*>("reloadAction");
  ASSERT_NE(reload, nullptr);
  reload->trigger();
  ASSERT_TRUE(m_agent->poll());
  EXPECT_EQ(m_agent->read().getType(), UI_RELOAD);
  EXPECT_EQ(status(), "Reloading control.dll; the console shows the outcome");
}

}  // namespace
