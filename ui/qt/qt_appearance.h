// The shared colours and fonts, as Qt takes them.
#pragma once

#include <QColor>
#include <QFont>

#include "ui/appearance.h"

inline QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

// The faces of the Windows program first, then what a Linux desktop usually has.
QFont KeyFont();
QFont DisplayFont();
QFont HistoryFont();
