// Saves the process-wide number and date settings and restores them, so a
// test can set what it needs.
#pragma once

#include "platform/rtl/sysutils.h"

namespace zeltest {

class SettingsGuard {
public:
  SettingsGuard()
      : FDecimal(DecimalSeparator), FThousand(ThousandSeparator), FDate(DateSeparator),
        FTime(TimeSeparator), FShortDate(ShortDateFormat), FLongDate(LongDateFormat),
        FShortTime(ShortTimeFormat), FLongTime(LongTimeFormat) {
    for (int i = 0; i < 12; ++i) FMonths[i] = LongMonthNames[i], FShortMonths[i] = ShortMonthNames[i];
    for (int i = 0; i < 7; ++i) FDays[i] = LongDayNames[i], FShortDays[i] = ShortDayNames[i];
    FAm = TimeAMString;
    FPm = TimePMString;
  }
  ~SettingsGuard() {
    DecimalSeparator = FDecimal;
    ThousandSeparator = FThousand;
    DateSeparator = FDate;
    TimeSeparator = FTime;
    ShortDateFormat = FShortDate;
    LongDateFormat = FLongDate;
    ShortTimeFormat = FShortTime;
    LongTimeFormat = FLongTime;
    for (int i = 0; i < 12; ++i) LongMonthNames[i] = FMonths[i], ShortMonthNames[i] = FShortMonths[i];
    for (int i = 0; i < 7; ++i) LongDayNames[i] = FDays[i], ShortDayNames[i] = FShortDays[i];
    TimeAMString = FAm;
    TimePMString = FPm;
  }
  SettingsGuard(const SettingsGuard&) = delete;
  SettingsGuard& operator=(const SettingsGuard&) = delete;

private:
  char FDecimal, FThousand, FDate, FTime;
  AnsiString FShortDate, FLongDate, FShortTime, FLongTime, FAm, FPm;
  AnsiString FMonths[12], FShortMonths[12], FDays[7], FShortDays[7];
};

// German settings as on a German Windows.
inline void UseGermanSettings() { platform::InitLocaleSettings("de_DE.UTF-8"); }

}  // namespace zeltest
