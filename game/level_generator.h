#pragma once
// The level dealer's layout rule, on its own so that its edge can be tried.

// Whether a layout draw in [0, 1) deals a four-fold level (mirrored both
// ways from a 10 x 10 seed block) rather than a two-fold one (mirrored left
// to right from a 10 x 20 seed block). An even draw of 0.5 is two-fold.
bool FourFoldLayout(double draw);
