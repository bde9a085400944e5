// The window's geometry rules, without the window: where a control goes when its parent is
// resized, and how design sizes scale with the screen's text height.
#pragma once

#include <cstdint>
#include <span>

struct TBounds {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    friend bool operator==(const TBounds&, const TBounds&) = default;
};

enum TAnchor : uint8_t { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = uint8_t;
constexpr TAnchors kDefaultAnchors = akLeft | akTop;

enum class TAlign { alNone, alClient, alBottom };

// A control's placement as designed: its bounds inside a parent client area of the design
// size, its anchors and alignment.
struct TPlacement {
    TBounds Design;
    TAnchors Anchors = kDefaultAnchors;
    TAlign Align = TAlign::alNone;
    int ParentWidth = 0, ParentHeight = 0;
};

// The bounds of a control whose parent's client area now measures width × height. Anchored
// edges keep their distance to the parent's same edge; an edge pair anchored on both sides
// stretches; a control anchored on neither side of an axis keeps its relative position.
// Sizes never go below zero: controls may overlap in a parent smaller than designed.
TBounds PlaceControl(const TPlacement& placement, int width, int height);

// A design value scaled by the screen's text height against the design text height of 13,
// rounded to nearest (halves away from zero).
int ScaleByTextHeight(int value, int textHeight, int designTextHeight = 13);
TBounds ScaleBounds(const TBounds& bounds, int textHeight, int designTextHeight = 13);

// The window font's height at a screen of `pixelsPerInch`, from its height at 96.
int ScaleFontHeight(int height, int pixelsPerInch);

// The window moved to the centre of an area (a monitor's, whose origin is negative when it
// lies left of or above the primary one), never left of or above the area's origin.
TBounds CentreOn(const TBounds& window, const TBounds& area);

// The window moved to the centre of the primary monitor's whole area, never left of or above
// it. `monitors` are the screen's monitors as the system places them: the primary one has its
// top-left corner at the origin, the others lie around it, also at negative places. Without
// such a monitor the first one counts as primary; without any the window stays where it is.
TBounds CentreOnPrimaryMonitor(const TBounds& window, std::span<const TBounds> monitors);
