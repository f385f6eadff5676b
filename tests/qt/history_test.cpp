// The history pane and the context menu of the Qt window, driven as a user would.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include <QAccessible>
#include <QContextMenuEvent>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

#include "calculator/calculate.h"
#include "calculator/context_menu.h"
#include "calculator/history.h"
#include "calculator/history_entry.h"
#include "calculator/history_file.h"
#include "calculator/keypad.h"
#include "calculator/saved_history.h"
#include "calculator/storage.h"
#include "ui/layout.h"
#include "ui/qt/history_pane.h"
#include "ui/qt/key_widget.h"
#include "ui/qt/main_window.h"
#include "window_fixture.h"

namespace {

QString Q(std::wstring_view text) {
  return QString::fromWCharArray(text.data(), static_cast<qsizetype>(text.size()));
}

class History : public WindowFixture {
 protected:
  // Where the display and every key stand.
  std::vector<QRect> Keypad() const {
    std::vector<QRect> places{window->Display()->geometry()};
    for (const ButtonDef& def : g_buttons) places.push_back(window->FindKey(def.id)->geometry());
    return places;
  }

  void Calculate(const QString& typed) const {
    QTest::keyClicks(window.get(), typed);
    QTest::keyClick(window.get(), Qt::Key_Return);
  }

};

TEST_F(History, CtrlHShowsThePaneBesideTheKeypadAndAClickEntersAResult) {
  const QSize start = window->size();
  const std::vector<QRect> keypad = Keypad();
  EXPECT_EQ(window->History(), nullptr) << "made before it is shown";
  Calculate("2+3");  // listed once the pane is made

  QTest::keyClick(window.get(), Qt::Key_H, Qt::ControlModifier);
  HistoryPane* pane = window->History();
  ASSERT_NE(pane, nullptr);
  ASSERT_TRUE(pane->isVisible());
  EXPECT_EQ(window->size(), start + QSize(kHistoryPaneWidth, 0));
  EXPECT_EQ(Keypad(), keypad);
  EXPECT_EQ(pane->geometry(),
            [&] {
              const Rect r = HistoryPaneRect(window->width(), window->height(), kHistoryPaneWidth);
              return QRect(r.x, r.y, r.width, r.height);
            }());

  Calculate("6*7");
  ASSERT_EQ(pane->count(), 2);
  EXPECT_EQ(pane->item(0)->text(), "2+3\n= 5");
  EXPECT_EQ(pane->item(1)->text(), "6*7\n= 42");
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(pane);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->role(), QAccessible::List);
  ASSERT_GE(list->childCount(), 2);
  EXPECT_EQ(list->child(0)->text(QAccessible::Name), "2+3 = 5");
  EXPECT_TRUE(pane->viewport()->rect().contains(pane->visualItemRect(pane->item(1))));

  const QString folder = QCoreApplication::applicationDirPath() + "/../screenshots";
  QDir().mkpath(folder);
  EXPECT_TRUE(window->grab().save(folder + "/history-pane-qt.png"));

  QTest::keyClicks(window.get(), "1+");
  QTest::mouseClick(pane->viewport(), Qt::LeftButton, {},
                    pane->visualItemRect(pane->item(0)).center());
  EXPECT_EQ(window->Display()->text(), "1+5");
  EXPECT_EQ(QApplication::focusWidget(), window.get());

  pane->setFocus();
  pane->setCurrentRow(1);
  QTest::keyClick(pane, Qt::Key_Return);
  EXPECT_EQ(window->Display()->text(), "1+542");
  EXPECT_EQ(QApplication::focusWidget(), window.get());

  QTest::keyClick(window.get(), Qt::Key_H, Qt::ControlModifier);
  EXPECT_TRUE(pane->isHidden());
  EXPECT_EQ(window->size(), start);
  EXPECT_EQ(Keypad(), keypad);
}

// Where the shared table puts a command in the menu.
qsizetype MenuIndex(MenuCommand command) {
  const auto item = std::find_if(std::begin(kContextMenu), std::end(kContextMenu),
                                 [&](const MenuItemDef& def) { return def.command == command; });
  return item - std::begin(kContextMenu);
}

TEST_F(History, TheMenuKeyOpensTheSharedMenuWithItsChecks) {
  QTest::keyClick(window.get(), Qt::Key_H, Qt::ControlModifier);
  QTest::keyClick(window.get(), Qt::Key_F10, Qt::ShiftModifier);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  const QList<QAction*> actions = menu->actions();
  ASSERT_EQ(actions.size(), static_cast<qsizetype>(std::size(kContextMenu)));
  for (qsizetype i = 0; i < actions.size(); ++i) {
    EXPECT_EQ(actions[i]->text(), Q(kContextMenu[i].text));
    EXPECT_EQ(actions[i]->shortcut().toString(), Q(kContextMenu[i].shortcut));
  }
  EXPECT_TRUE(actions[MenuIndex(kMenuHistory)]->isChecked());  // the pane shows
  EXPECT_TRUE(actions[MenuIndex(kMenuKeepHistory)]->isChecked());  // the history is kept
  EXPECT_FALSE(actions[MenuIndex(kMenuAlwaysOnTop)]->isChecked());
  actions[MenuIndex(kMenuAlwaysOnTop)]->trigger();
  menu->close();
  EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
}

// The pane's entry menu and the Delete key, and keeping turned off, on the saved file.
TEST_F(History, DeletingAnEntryOrKeepingOffReachesTheSavedFile) {
  using Names = std::vector<std::wstring>;
  const auto saved = [] {
    Names names;
    const FileRead read = PlatformStorage().Read(SavedFile::kHistory, kSavedFileBound);
    for (const HistoryEntry& entry : ParseHistory(read.bytes).entries) {
      names.push_back(HistoryItemName(entry));
    }
    return read.status == FileRead::kMissing ? Names{L"(none)"} : names;
  };
  // The item's menu from a right click, and its command with this text.
  const auto useEntryMenu = [&](HistoryPane* pane, int row, MenuCommand command) {
    const QPoint at = pane->visualItemRect(pane->item(row)).center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, pane->viewport()->mapToGlobal(at));
    QApplication::sendEvent(pane->viewport(), &click);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    for (QAction* action : menu->actions()) {
      if (action->text() == Q(MenuText(command))) action->trigger();
    }
    menu->close();
  };
  StartSavedHistory(window.get(), &PlatformStorage());
  QTest::keyClick(window.get(), Qt::Key_H, Qt::ControlModifier);
  for (const char* sum : {"2+3", "7*8", "1+1", "4+4"}) Calculate(sum);
  HistoryPane* pane = window->History();
  useEntryMenu(pane, 0, kMenuCopyEntry);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "2+3 = 5");
  useEntryMenu(pane, 1, kMenuDeleteEntry);
  EXPECT_EQ(saved(), (Names{L"2+3 = 5", L"1+1 = 2", L"4+4 = 8"}));

  pane->setFocus();
  pane->setCurrentRow(1);
  QTest::keyClick(pane, Qt::Key_Delete);
  QTest::keyClick(pane, Qt::Key_Delete);  // the next one, now selected
  EXPECT_EQ(saved(), (Names{L"2+3 = 5"}));

  QTest::keyClick(window.get(), Qt::Key_F10, Qt::ShiftModifier);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  menu->actions()[MenuIndex(kMenuKeepHistory)]->trigger();  // keep the history: off
  menu->close();
  Calculate("5+5");
  EXPECT_EQ(saved(), (Names{L"(none)"}));
  EXPECT_EQ(pane->count(), 2);
}

}  // namespace
