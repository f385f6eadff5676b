// The core's window operations, carried out on the Qt main window.
#include "ui/window_port.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>

#include "ui/qt/key_widget.h"
#include "ui/qt/main_window.h"

namespace {

MainWindow* AsMainWindow(WindowHandle window) { return static_cast<MainWindow*>(window); }

}  // namespace

void SetDisplayText(WindowHandle window, const std::wstring& text) {
  if (MainWindow* w = AsMainWindow(window)) {
    w->ShowExpression(QString::fromStdWString(text));
  }
}

void SetTitleText(WindowHandle window, const std::wstring& title) {
  if (MainWindow* w = AsMainWindow(window)) {
    w->setWindowTitle(QString::fromStdWString(title));
  }
}

void SetKeyText(WindowHandle window, int id, const std::wstring& text) {
  MainWindow* w = AsMainWindow(window);
  KeyWidget* key = w != nullptr ? w->FindKey(id) : nullptr;
  if (key != nullptr) {
    key->setText(QString::fromStdWString(text));
    key->update();
  }
}

void FocusMainWindow(WindowHandle window) {
  if (MainWindow* w = AsMainWindow(window)) {
    w->setFocus(Qt::OtherFocusReason);
  }
}

std::wstring ReadClipboardText(WindowHandle) {
  return QGuiApplication::clipboard()->text().toStdWString();
}

void WriteClipboardText(WindowHandle, const std::wstring& text) {
  QGuiApplication::clipboard()->setText(QString::fromStdWString(text));
}
