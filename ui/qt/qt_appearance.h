// The shared colours and fonts, as Qt takes them.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <string_view>

#include "ui/appearance.h"

inline QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

// The shared tables' texts, as Qt takes them.
inline QString ToQString(std::wstring_view text) {
  return QString::fromWCharArray(text.data(), static_cast<qsizetype>(text.size()));
}

// The faces of the Windows program first, then what a Linux desktop usually has.
QFont KeyFont();
QFont DisplayFont();
QFont HistoryFont();
QFont ExpressionLineFont();
