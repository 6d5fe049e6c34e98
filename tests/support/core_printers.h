#pragma once

// How GoogleTest prints the core's types when an assertion fails: values, not bytes.

#include <ostream>

#include "calendar/block_geometry.h"
#include "calendar/calendar_settings.h"
#include "settings/settings_store.h"

namespace lunetta {

inline void PrintTo(const LocalDate& date, std::ostream* out) {
  *out << date.year << '-' << date.month << '-' << date.day;
}

inline void PrintTo(const PictureSize& size, std::ostream* out) {
  *out << size.width << " x " << size.height;
}

inline void PrintTo(const Rect& rect, std::ostream* out) {
  *out << "Rect{" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom
       << '}';
}

inline void PrintTo(const BlockGeometry& geometry, std::ostream* out) {
  *out << "BlockGeometry{cell " << geometry.cellWidth << " x " << geometry.cellHeight << ", block "
       << geometry.blockWidth << " x " << geometry.blockHeight << '}';
}

inline void PrintTo(const CalendarSettings& settings, std::ostream* out) {
  // Colours in hex, as COLORREF values are read.
  const auto flags = out->flags();
  *out << "CalendarSettings{font \"" << settings.fontName << "\" " << settings.textSize
       << ", weight " << settings.fontWeight << ", italic " << settings.fontItalic << std::hex
       << ", text 0x" << settings.textColor << ", back 0x" << settings.backColor << std::dec
       << ", transparency " << settings.transparency << ", at (" << settings.startX << ", "
       << settings.startY << "), pictSize " << settings.pictSize << ", size kind "
       << static_cast<int>(settings.sizeKind) << " custom " << settings.customWidth << " x "
       << settings.customHeight << " screen " << settings.screenWidth << " x "
       << settings.screenHeight << ", fit " << static_cast<int>(settings.photoFit) << ", "
       << settings.year << '-' << settings.month << '}';
  out->flags(flags);
}

inline void PrintTo(const RememberedWork& work, std::ostream* out) {
  *out << "RememberedWork{photo " << work.photo << ", monthly " << work.monthlyRefresh << '}';
}

}  // namespace lunetta
