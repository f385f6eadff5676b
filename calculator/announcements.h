// What screen readers are told after the keys whose effect no text on the screen says at
// once: the modes and the memory.
#pragma once

#include <string_view>

inline constexpr std::wstring_view kDegreesAnnouncement = L"角度";
inline constexpr std::wstring_view kRadiansAnnouncement = L"弧度";
inline constexpr std::wstring_view kSecondOnAnnouncement = L"第二功能 开";
inline constexpr std::wstring_view kSecondOffAnnouncement = L"第二功能 关";
inline constexpr std::wstring_view kMemoryClearedAnnouncement = L"存储已清除";
// Followed by the register's value as mr would show it.
inline constexpr std::wstring_view kMemoryAnnouncement = L"存储 ";
