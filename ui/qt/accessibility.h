// What screen readers find in the window: a frame named by the title, the display as a
// read-only text that announces each change, and the keys as Qt's push buttons.
#pragma once

#include <QString>

class DisplayWidget;
class QWidget;

// Once per program, before the first window is shown; later calls do nothing.
void InstallAccessibility();

// What speaks for the window: a notification object without size that shows itself anew
// with each text, as a desktop notification does. Orca speaks a notification that appears
// wherever the focus is, and ignores a text change of an object without the focus.
QWidget* CreateAnnouncer(QWidget* window);
void Announce(QWidget* announcer, const QString& text);

// What the display showed, as screen readers last heard of it.
struct DisplayState {
  QString text;
  int caret;
  int selectionStart;
  int selectionEnd;
};
DisplayState StateOf(const DisplayWidget* display);

// Tells screen readers what changed since `before`: the text, for those that follow the
// display (Orca's review commands, a braille line), the caret and the selection.
void AnnounceDisplayChange(DisplayWidget* display, const DisplayState& before);
