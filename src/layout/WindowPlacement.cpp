#include "layout/WindowPlacement.h"

#include <algorithm>

namespace rv {
namespace {

// Left (or top) of a length centred in the free span; a window longer than the span starts at the
// span's start, so its title bar and close box stay reachable.
int Centred(int spanStart, int spanLength, int length) {
    return spanStart + std::max(0, (spanLength - length) / 2);
}

}  // namespace

WindowPlacement PlaceWindow(const DesktopRect& available, int outerWidth, int outerHeight) {
    WindowPlacement place;
    if (available.width < kMinOuterWidth || available.height < kMinOuterHeight) {
        place.maximised = true;
        place.x = available.x;
        place.y = available.y;
        return place;
    }
    const bool fits = kDesignWindowLeft >= available.x && kDesignWindowTop >= available.y &&
                      kDesignWindowLeft + outerWidth <= available.x + available.width &&
                      kDesignWindowTop + outerHeight <= available.y + available.height;
    if (fits) return place;
    place.x = Centred(available.x, available.width, outerWidth);
    place.y = Centred(available.y, available.height, outerHeight);
    return place;
}

}  // namespace rv
