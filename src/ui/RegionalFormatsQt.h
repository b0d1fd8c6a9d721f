#pragma once
// The user's regional formats read from the desktop's locale.

#include <QLocale>

#include "text/RegionalFormats.h"

namespace rv {

// Decimal separator, time separator, short date and long time of `locale` (the system locale by
// default), in the pattern language of the core. Parts the core does not format (time zone names)
// are left out.
RegionalFormats RegionalFormatsOf(const QLocale& locale = QLocale::system());

}  // namespace rv
