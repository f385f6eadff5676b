// The desktop's colour preference, from the portal's appearance settings.
#pragma once

class MainWindow;
class QDBusConnection;

// Asks the portal on this bus for its colour scheme and contrast without waiting for the
// answer, and recolours the window at once whenever they change. The window stays light
// until an answer says dark, and without a portal.
void FollowDesktopAppearance(MainWindow* window, const QDBusConnection& bus);
