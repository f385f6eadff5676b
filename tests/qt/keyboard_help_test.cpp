// F1 opens the keyboard overview in a window of its own, one at a time, and Escape
// returns to the calculator. What the overview lists is the core's and tested there; the
// AT-SPI test reads its rows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTreeWidget>

#include <vector>

#include "calculator/keyboard_overview.h"
#include "ui/qt/keyboard_help.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_appearance.h"
#include "window_fixture.h"

namespace {

// QTest::qWaitForWindowActive takes a transient window for active while its parent is.
bool BecomesActive(QWidget* window) {
  return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

class KeyboardHelpWindow : public WindowFixture {};

TEST_F(KeyboardHelpWindow, F1OpensOneOverviewOfEveryRowAndEscapeReturnsToTheCalculator) {
  EXPECT_TRUE(window->findChildren<KeyboardHelp*>().isEmpty());  // nothing of it made at start
  QTest::keyClick(window.get(), Qt::Key_F1);
  ASSERT_EQ(window->findChildren<KeyboardHelp*>().size(), 1);
  KeyboardHelp* help = window->findChildren<KeyboardHelp*>()[0];
  ASSERT_TRUE(BecomesActive(help));
  EXPECT_EQ(help->windowTitle(), ToQString(kKeyboardHelpTitle));
  const std::vector<OverviewGroup> overview = KeyboardOverview();
  ASSERT_EQ(help->Rows()->topLevelItemCount(), static_cast<int>(overview.size()));
  for (int g = 0; g < help->Rows()->topLevelItemCount(); ++g) {
    const OverviewGroup& group = overview[static_cast<std::size_t>(g)];
    EXPECT_EQ(help->Rows()->topLevelItem(g)->text(0), ToQString(group.title));
    EXPECT_EQ(help->Rows()->topLevelItem(g)->childCount(), static_cast<int>(group.rows.size()));
  }

  // From the calculator, F1 again brings the same one to the front.
  window->activateWindow();
  ASSERT_TRUE(BecomesActive(window.get()));
  QTest::keyClick(window.get(), Qt::Key_F1);
  EXPECT_EQ(window->findChildren<KeyboardHelp*>(), QList<KeyboardHelp*>{help});
  EXPECT_TRUE(BecomesActive(help));

  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_TRUE(help->isHidden());
  EXPECT_TRUE(BecomesActive(window.get()));
  EXPECT_EQ(QApplication::focusWidget(), window.get());
}

}  // namespace
