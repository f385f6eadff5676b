// What screen readers find in the window: a frame named by the title, the display as a
// read-only text that announces each change, and the keys as Qt's push buttons.
#pragma once

class QLabel;
class QString;
class QWidget;

// Once per program, before the first window is shown; later calls do nothing.
void InstallAccessibility();

// What speaks for the window: a notification object without size that shows itself anew
// with each text, as a desktop notification does. Orca speaks a notification that appears
// wherever the focus is, and ignores a text change of an object without the focus.
QWidget* CreateAnnouncer(QWidget* window);
void Announce(QWidget* announcer, const QString& text);

// The label screen readers read as the display, before it is first shown.
void MarkAsDisplay(QLabel* display);

// Tells screen readers the display now shows its new text in place of `before`, for
// those that follow the display (Orca's review commands, a braille line).
void AnnounceDisplayChange(QLabel* display, const QString& before);
