#include "ui/layout.h"

namespace {

// 66 = left and right margins of 12 plus 7 gaps of 6; 144 = the keypad's top at 102,
// a bottom margin of 12 and 5 gaps of 6.
constexpr int kMargin = 12;
constexpr int kGap = 6;
constexpr int kKeypadTop = 102;
constexpr int kHorizontalChrome = 2 * kMargin + (kKeyColumns - 1) * kGap;
constexpr int kVerticalChrome = kKeypadTop + kMargin + (kKeyRows - 1) * kGap;

constexpr int kDisplayTop = 5;
constexpr int kDisplayHeight = 80;

}  // namespace

Rect DisplayRect(int clientWidth, int /*clientHeight*/) {
  return {kMargin, kDisplayTop, clientWidth - 2 * kMargin, kDisplayHeight};
}

Rect KeyRect(const ButtonDef& key, int clientWidth, int clientHeight) {
  // C++ division truncates toward zero, as the window's layout always has; a client
  // area below the chrome gives empty or negative cells.
  const int cellWidth = (clientWidth - kHorizontalChrome) / kKeyColumns;
  const int cellHeight = (clientHeight - kVerticalChrome) / kKeyRows;
  return {(cellWidth + kGap) * key.column + kMargin, (cellHeight + kGap) * key.row + kKeypadTop,
          cellWidth, cellHeight};
}

Rect HistoryPaneRect(int clientWidth, int clientHeight, int paneWidth) {
  // The keypad's right margin separates it from the pane; the pane keeps one of its own.
  return {clientWidth - paneWidth, kDisplayTop, paneWidth - kMargin,
          clientHeight - kDisplayTop - kMargin};
}
