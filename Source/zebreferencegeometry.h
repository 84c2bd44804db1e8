#pragma once
// Geometry of reference lines: where the plane of another image (limited to
// its extent) crosses the plane of the shown image, in the shown image's
// pixel grid; and the placing of a line's number beside it.
//
// An image plane is given by its position (patient coordinates of the centre
// of the first pixel, mm), its row and column direction cosines, its columns
// and rows, and its spacing along a row (between columns) and along a
// column (between rows), in mm.
#include <cstdint>

#include "platform/bitmap.h"

struct ZEBImagePlane {
    double position[3] = {0, 0, 0};
    double rowCosines[3] = {0, 0, 0};
    double columnCosines[3] = {0, 0, 0};
    double columns = 0;
    double rows = 0;
    double spacingAlongRow = 0;     // between columns
    double spacingAlongColumn = 0;  // between rows
};

// The line of image B on image A: 1 with two 3-D end points (mm) and the
// same two points in A's pixel grid (column, row), else 0: a size or
// spacing is 0, the planes are parallel (normals within about 8 degrees),
// or the line misses A.
int ComputeReferenceLine(double points3d[2][3], platform::Point points2d[2], const ZEBImagePlane& a,
                         const ZEBImagePlane& b);

// 1 and the meeting point when the two segments meet (each end may be
// overshot while (x - x2)(x1 - x) and its likes stay at or above -0.99).
int IntersectSegments2D(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                        double y4, double& x, double& y);

// +0.5 when positive, else -0.5, then toward zero.
void RoundHalfAway(double& value);

// 1 when the bound contains the box (both normalised first).
int RectContains(const platform::Rect& box, const platform::Rect& bound);

// Moves the box along the line from `p1` to `p2` until it lies inside the
// bound; 1 when it then fits. A box above or below the bound beside a
// horizontal line cannot be moved along it (0); beside a vertical line it
// moves straight down or up.
int FitLabelRect(platform::Point p1, platform::Point p2, platform::Rect& box,
                 const platform::Rect& bound);
