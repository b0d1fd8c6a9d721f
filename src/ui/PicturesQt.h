#pragma once
// The console's pictures, drawn here with QPainter: the fold triangles, the header command
// pictures, the maker's wordmark of the bottom bar and the application icon. Sizes are in layout
// pixels; each picture is drawn at the screens' device pixel ratio, so it stays sharp at 1.5x or
// 2x.

#include <QIcon>
#include <QPixmap>

namespace rv::pictures {

// The fold pictures, 16x16: image 0 the outline of a triangle pointing down (on the button of a
// folded section), image 1 pointing up (unfolded).
constexpr int kFoldDown = 0;
constexpr int kFoldUp = 1;
QPixmap FoldPicture(int image);

QIcon LogOnIcon();    // check mark: the "on" commands
QIcon LogOffIcon();   // black cross: the "off" commands
QIcon RefreshIcon();  // two circular arrows: the refresh commands
QIcon StopIcon();     // black cross in a square: stop the link

// The maker's picture of the bottom bar's home button, 80x24.
QPixmap MakerPicture();
// The application icon (16 to 64 pixels).
QIcon AppIcon();

}  // namespace rv::pictures
