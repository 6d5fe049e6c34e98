#pragma once

// How GoogleTest prints the core's types when an assertion fails: values, not bytes.

#include <ostream>

#include "calendar/block_geometry.h"
#include "calendar/calendar_settings.h"
#include "calendar/month_model.h"
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

inline void PrintTo(const TextMetrics& metrics, std::ostream* out) {
  *out << "TextMetrics{height " << metrics.height << ", ave " << metrics.aveCharWidth << ", max "
       << metrics.maxCharWidth << '}';
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
       << settings.sizeKind << " custom " << settings.customWidth << " x " << settings.customHeight
       << " screen " << settings.screenWidth << " x " << settings.screenHeight << ", fit "
       << settings.photoFit << ", " << settings.year << '-' << settings.month << '}';
  out->flags(flags);
}

inline void PrintTo(const RememberedWork& work, std::ostream* out) {
  *out << "RememberedWork{photo " << work.photo << ", monthly " << work.monthlyRefresh << '}';
}

inline void PrintTo(const MonthGrid& grid, std::ostream* out) {
  *out << "MonthGrid{" << grid.year << '-' << grid.month << ", first weekday " << grid.firstWeekday
       << ", " << grid.dayCount << " days, " << grid.weekRows << " rows:";
  for (std::size_t i = 0; i < grid.cells.size(); ++i) {
    *out << (i % 7 == 0 ? " |" : " ") << (grid.cells[i].empty() ? "." : grid.cells[i]);
  }
  *out << '}';
}

}  // namespace lunetta
