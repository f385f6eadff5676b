// The core's window operations, carried out on the Qt main window.
#include "calculator/window_port.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>

#include "calculator/refresh.h"
#include "ui/qt/display_widget.h"
#include "ui/qt/key_widget.h"
#include "ui/qt/main_window.h"

namespace {

MainWindow* AsMainWindow(WindowHandle window) { return static_cast<MainWindow*>(window); }

}  // namespace

void SetDisplayText(WindowHandle window, const std::wstring& text, std::size_t caret,
                    std::size_t anchor) {
  const QString shown = QString::fromStdWString(text);
  AsMainWindow(window)->ShowExpression(shown, Utf16Offset(shown, caret), Utf16Offset(shown, anchor));
}

void SetExpressionLine(WindowHandle window, bool shown, const std::wstring& text) {
  AsMainWindow(window)->ShowExpressionLine(shown, QString::fromStdWString(text));
}

void SetTitleText(WindowHandle window, const std::wstring& title) {
  AsMainWindow(window)->setWindowTitle(QString::fromStdWString(title));
}

void SetKeyText(WindowHandle window, int id, const std::wstring& text,
                const std::wstring& description, const std::wstring& shortcut) {
  if (KeyWidget* key = AsMainWindow(window)->FindKey(id)) {
    key->setText(QString::fromStdWString(text));
    key->setAccessibleDescription(QString::fromStdWString(description));
    key->SetShortcut(QString::fromStdWString(shortcut));
    key->setToolTip(QString::fromStdWString(KeyToolTip(description, shortcut)));
    key->update();
  }
}

void FocusMainWindow(WindowHandle window) { AsMainWindow(window)->setFocus(Qt::OtherFocusReason); }

void WarningBeep(WindowHandle) { QApplication::beep(); }

void Announce(WindowHandle window, const std::wstring& text) {
  AsMainWindow(window)->Announce(QString::fromStdWString(text));
}

std::wstring ReadClipboardText(WindowHandle) {
  return QGuiApplication::clipboard()->text().toStdWString();
}

bool ClipboardHasText(WindowHandle) { return !QGuiApplication::clipboard()->text().isEmpty(); }

void WriteClipboardText(WindowHandle, const std::wstring& text) {
  QGuiApplication::clipboard()->setText(QString::fromStdWString(text));
}

void SetHistoryEntries(WindowHandle window, const std::deque<HistoryEntry>& entries) {
  AsMainWindow(window)->SetHistory(entries);
}

void ShowHistoryPane(WindowHandle window, bool shown) { AsMainWindow(window)->ShowHistory(shown); }

void SetAlwaysOnTop(WindowHandle window, bool on) { AsMainWindow(window)->StayOnTop(on); }

void FocusHistoryPane(WindowHandle window) { AsMainWindow(window)->FocusHistory(); }

void ShowKeyboardHelp(WindowHandle window) { AsMainWindow(window)->ShowKeyboardHelp(); }

void StartRetryTimer(WindowHandle window, int milliseconds) {
  AsMainWindow(window)->RetrySavingIn(milliseconds);
}

void StopRetryTimer(WindowHandle window) { AsMainWindow(window)->StopRetrySaving(); }
