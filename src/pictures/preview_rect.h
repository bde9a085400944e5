// Where an image control draws its picture: the destination rectangle computed from the
// picture's reported size, the control's client size and its Stretch, Proportional and Center
// switches. Nothing of it is stored; the control computes it anew at every drawing.
#pragma once

struct TPreviewSwitches {
    bool stretch = false;       // scale the picture to the area
    bool proportional = false;  // keep the width-to-height ratio; also shrinks a too-large picture
    bool center = false;        // centre the rectangle in the area, else the top-left corner
};

struct TPreviewRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const TPreviewRect&) const = default;
};

// The destination rectangle of a picture of width x height (0 x 0 when empty) in an area of
// areaWidth x areaHeight:
// - stretched, or proportional with a picture larger than the area: proportional with a
//   non-empty picture fills the full width or the full height with the ratio kept, otherwise
//   the whole area (an empty picture too);
// - otherwise the picture's own size;
// at the top-left corner, or centred (halves of the difference truncated toward zero, so a
// picture wider than the area moves left).
//
// The ratio is width / height rounded to a double; each product or quotient of a whole
// number and that ratio is taken with a 64-bit significand and truncated toward zero, so a
// 4:3 picture (a ratio slightly below 4/3) 102 pixels high is 135 wide, not 136.
TPreviewRect PreviewDestination(int width, int height, int areaWidth, int areaHeight, const TPreviewSwitches& switches);
