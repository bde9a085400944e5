// The Preview window's size rule, without the window.
#pragma once

struct TClientSize {
    int Width = 0, Height = 0;
    friend bool operator==(const TClientSize&, const TClientSize&) = default;
};

// The Preview window's client size for a picture. The window holds a panel whose client area
// holds the picture inside a 5-pixel margin; `window` and `panel` are their client sizes as
// created. For a picture wider than 0 each side becomes the smaller of three quarters of the
// monitor's side and the side that shows the picture at its own size:
// window − panel + picture + 10; quotients truncated toward zero. The sides are computed in
// 64 bits, so a picture reporting a side near the largest int still gets the cap, and a side
// that comes out negative (a negative height) becomes 0. A picture without width leaves the
// window as it is.
TClientSize PreviewClientSize(TClientSize monitor, TClientSize window, TClientSize panel, TClientSize picture);
