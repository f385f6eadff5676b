// F1 opens the keyboard overview in a window of its own, one at a time, and Escape
// returns to the calculator. What the overview lists is the core's and tested there.
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

class KeyboardHelpWindow : public WindowFixture {
 protected:
  // Every window of the program titled as the overview, shown or not.
  static std::vector<KeyboardHelp*> Overviews() {
    std::vector<KeyboardHelp*> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* help = qobject_cast<KeyboardHelp*>(widget);
      if (help != nullptr && help->windowTitle() == ToQString(kKeyboardHelpTitle)) {
        found.push_back(help);
      }
    }
    return found;
  }
};

TEST_F(KeyboardHelpWindow, F1OpensOneOverviewOfEveryRowAndEscapeReturnsToTheCalculator) {
  EXPECT_TRUE(Overviews().empty());  // nothing of it made at start
  QTest::keyClick(window.get(), Qt::Key_F1);
  ASSERT_EQ(Overviews().size(), 1u);
  KeyboardHelp* help = Overviews()[0];
  ASSERT_TRUE(BecomesActive(help));

  const std::vector<OverviewGroup> overview = KeyboardOverview();
  const QTreeWidget* tree = help->Rows();
  ASSERT_EQ(tree->topLevelItemCount(), static_cast<int>(overview.size()));
  for (int g = 0; g < tree->topLevelItemCount(); ++g) {
    const QTreeWidgetItem* heading = tree->topLevelItem(g);
    const std::vector<OverviewRow>& rows = overview[static_cast<std::size_t>(g)].rows;
    EXPECT_EQ(heading->text(0), ToQString(overview[static_cast<std::size_t>(g)].title));
    ASSERT_EQ(heading->childCount(), static_cast<int>(rows.size()));
    // The first and the last of each group, as two columns.
    for (const int r : {0, heading->childCount() - 1}) {
      EXPECT_EQ(heading->child(r)->text(0), ToQString(rows[static_cast<std::size_t>(r)].keys));
      EXPECT_EQ(heading->child(r)->text(1), ToQString(rows[static_cast<std::size_t>(r)].description));
    }
  }

  // From the calculator, F1 again brings the same one to the front.
  window->activateWindow();
  ASSERT_TRUE(BecomesActive(window.get()));
  QTest::keyClick(window.get(), Qt::Key_F1);
  EXPECT_EQ(Overviews(), std::vector<KeyboardHelp*>{help});
  EXPECT_TRUE(BecomesActive(help));

  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_TRUE(help->isHidden());
  EXPECT_TRUE(BecomesActive(window.get()));
  EXPECT_EQ(QApplication::focusWidget(), window.get());
}

}  // namespace
