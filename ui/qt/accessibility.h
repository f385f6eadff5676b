// What screen readers find in the window: a frame named by the title, the display as a
// read-only text that announces each change, and the keys as Qt's push buttons.
#pragma once

class QLabel;
class QString;

// Once per program, before the first window is shown; later calls do nothing.
void InstallAccessibility();

// Tells screen readers the display now shows its new text in place of `before`, so that
// the result of "=" is spoken without the user going to look for it.
void AnnounceDisplayChange(QLabel* display, const QString& before);
