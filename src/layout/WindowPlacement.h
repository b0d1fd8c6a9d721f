#pragma once
// Where the window opens. The design places it at 620, 291; on a smaller screen that would leave
// most of it, close box included, off the screen. The window keeps its design position when it
// fits there wholly, else it is centred in the screen's free area, and a screen smaller than the
// window's minimum size gets the window maximised. Pure arithmetic; the window applies it.

namespace rv {

// A rectangle of the desktop in pixels: a screen's area free of panels, or the window with its
// frame.
struct DesktopRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

inline constexpr int kDesignWindowLeft = 620;
inline constexpr int kDesignWindowTop = 291;
inline constexpr int kMinOuterWidth = 1024;
inline constexpr int kMinOuterHeight = 600;

struct WindowPlacement {
    bool maximised = false;
    int x = kDesignWindowLeft;  // left and top of the frame, when not maximised
    int y = kDesignWindowTop;
};

// The placement of a window of `outerWidth` x `outerHeight` (frame included) on a screen whose
// free area is `available`.
WindowPlacement PlaceWindow(const DesktopRect& available, int outerWidth, int outerHeight);

}  // namespace rv
