#include "Source/zebreferencegeometry.h"

#include <cmath>
#include <cstdlib>

using platform::Point;
using platform::Rect;

namespace {

struct Vec {
    double x, y, z;
};

Vec Load(const double v[3]) {
    return {v[0], v[1], v[2]};
}
Vec operator+(Vec a, Vec b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec operator-(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec operator*(double s, Vec a) {
    return {s * a.x, s * a.y, s * a.z};
}
double Dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec Cross(Vec a, Vec b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Projected coordinates this far out count as outside any image.
constexpr double kFarAway = 1073741824.0;  // 2^30

bool Usable(double size) {
    return size > 0.0 && std::isfinite(size);
}

// -0.99 < nA . P + dA < 1.01
bool PlaneDistanceWithin(Vec n, double d, Vec p) {
    const double distance = Dot(n, p) + d;
    return distance > -0.99 && distance < 1.01;
}

// The fallback when no edge of B meets A's plane within the edge: the
// crossings of the extended edges, at most two.
int CollectEdgePoints(const Vec corners[4], Vec n, double d, Vec out[2]) {
    int found = 0;
    for (int e = 0; e < 4 && found < 2; ++e) {
        const Vec s = corners[e], end = corners[(e + 1) % 4];
        const double t = -(Dot(n, s) + d) / Dot(n, end - s);
        if (!std::isfinite(t)) continue;
        const Vec fromStart = s + t * (end - s);
        const Vec fromEnd = end - t * (end - s);
        if (PlaneDistanceWithin(n, d, fromStart))
            out[found++] = fromStart;
        else if (PlaneDistanceWithin(n, d, fromEnd))
            out[found++] = fromEnd;
    }
    return found;
}

// Stores a rounded border hit unless it repeats a stored point; at most two.
void StorePointByIndex(double x, double y, Point points[2], int& stored) {
    RoundHalfAway(x);
    RoundHalfAway(y);
    const Point p{static_cast<int32_t>(x), static_cast<int32_t>(y)};
    for (int i = 0; i < stored; ++i)
        if (points[i] == p) return;
    if (stored < 2) points[stored++] = p;
}

// Shifts beyond this cannot bring a box into any bound.
constexpr double kShiftLimit = 2147483648.0;  // 2^31

// The shift rounded half away from zero; false when it is out of reach.
bool RoundShift(double v, int64_t& out) {
    RoundHalfAway(v);
    if (!(std::fabs(v) < kShiftLimit)) return false;
    out = static_cast<int64_t>(v);
    return true;
}

}  // namespace

void RoundHalfAway(double& value) {
    value = std::trunc(value > 0 ? value + 0.5 : value - 0.5);
}

int IntersectSegments2D(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                        double y4, double& x, double& y) {
    double px, py;
    if (x1 == x2) {
        if (x3 == x4) return 0;
        const double m2 = (y4 - y3) / (x4 - x3);
        px = x1;
        py = m2 * x1 + (y3 - m2 * x3);
    } else {
        const double m1 = (y2 - y1) / (x2 - x1);
        if (x3 == x4) {
            px = x3;
            py = m1 * x3 + (y1 - m1 * x1);
        } else {
            const double m2 = (y4 - y3) / (x4 - x3);
            if (m1 == m2) return 0;
            px = ((y3 - m2 * x3) - (y1 - m1 * x1)) / (m1 - m2);
            py = m1 * px + (y1 - m1 * x1);
        }
    }
    if ((px - x2) * (x1 - px) < -0.99 || (x3 - px) * (px - x4) < -0.99 ||
        (py - y2) * (y1 - py) < -0.99 || (py - y4) * (y3 - py) < -0.99)
        return 0;
    // NaN fails every comparison above; refuse it here.
    if (!std::isfinite(px) || !std::isfinite(py)) return 0;
    x = px;
    y = py;
    return 1;
}

int ComputeReferenceLine(double points3d[2][3], Point points2d[2], const ZEBImagePlane& a,
                         const ZEBImagePlane& b) {
    if (!Usable(a.columns) || !Usable(a.rows) || !Usable(a.spacingAlongRow) ||
        !Usable(a.spacingAlongColumn) || !Usable(b.columns) || !Usable(b.rows) ||
        !Usable(b.spacingAlongRow) || !Usable(b.spacingAlongColumn))
        return 0;
    const Vec rowA = Load(a.rowCosines), colA = Load(a.columnCosines);
    const Vec rowB = Load(b.rowCosines), colB = Load(b.columnCosines);
    const Vec nA = Cross(rowA, colA), nB = Cross(rowB, colB);
    const double cosine = Dot(nA, nB);
    if ((cosine > 0.99 && cosine <= 1.01) || (cosine > -1.01 && cosine <= -0.99)) return 0;

    const Vec posA = Load(a.position), posB = Load(b.position);
    Vec corners[4];
    corners[0] = posB;
    corners[1] = corners[0] + (b.columns * b.spacingAlongRow) * rowB;
    corners[2] = corners[1] + (b.rows * b.spacingAlongColumn) * colB;
    corners[3] = corners[0] + (b.rows * b.spacingAlongColumn) * colB;
    const double dA = -Dot(nA, posA);

    Vec found[2];
    int count = 0;
    for (int e = 0; e < 4 && count < 2; ++e) {
        const Vec s = corners[e], end = corners[(e + 1) % 4];
        const double t = -(Dot(nA, s) + dA) / Dot(nA, end - s);
        if (t > 0.0 && t <= 1.0) found[count++] = s + t * (end - s);
    }
    if (count == 0) count = CollectEdgePoints(corners, nA, dA, found);
    if (count < 2) return 0;
    for (int i = 0; i < 2; ++i) {
        points3d[i][0] = found[i].x;
        points3d[i][1] = found[i].y;
        points3d[i][2] = found[i].z;
    }

    // Both ends in A's pixel grid; the segment is clipped to A's borders in
    // unrounded coordinates, so that rounding cannot tilt it.
    double grid[2][2];
    Point stored[2];
    int storedCount = 0;
    for (int i = 0; i < 2; ++i) {
        grid[i][0] = Dot(found[i] - posA, rowA) / a.spacingAlongRow;
        grid[i][1] = Dot(found[i] - posA, colA) / a.spacingAlongColumn;
        double column = grid[i][0], row = grid[i][1];
        RoundHalfAway(column);
        RoundHalfAway(row);
        const bool inside = std::fabs(column) < kFarAway && std::fabs(row) < kFarAway &&
                            column >= 0 && column < a.columns && row >= 0 && row < a.rows;
        if (inside)
            stored[storedCount++] = {static_cast<int32_t>(column), static_cast<int32_t>(row)};
    }
    // An end that rounds out of the pixel grid but lies within A's borders
    // is its own clipped end.
    for (int i = 0; i < 2 && storedCount < 2; ++i) {
        if (grid[i][0] >= 0 && grid[i][0] <= a.columns && grid[i][1] >= 0 && grid[i][1] <= a.rows)
            StorePointByIndex(grid[i][0], grid[i][1], stored, storedCount);
    }
    if (storedCount < 2) {
        const double borders[4][4] = {{0, 0, 0, a.rows},
                                      {0, a.rows, a.columns, a.rows},
                                      {a.columns, a.rows, a.columns, 0},
                                      {a.columns, 0, 0, 0}};
        for (const auto& border : borders) {
            double x, y;
            if (IntersectSegments2D(grid[0][0], grid[0][1], grid[1][0], grid[1][1], border[0],
                                    border[1], border[2], border[3], x, y))
                StorePointByIndex(x, y, stored, storedCount);
            if (storedCount == 2) break;
        }
        if (storedCount < 2) return 0;
    }
    points2d[0] = stored[0];
    points2d[1] = stored[1];
    return 1;
}

int RectContains(const Rect& box, const Rect& bound) {
    const Rect b = box.normalized(), r = bound.normalized();
    return r.left <= b.left && b.right <= r.right && r.top <= b.top && b.bottom <= r.bottom ? 1 : 0;
}

int FitLabelRect(Point p1, Point p2, Rect& box, const Rect& bound) {
    const bool horizontal = p1.y == p2.y, vertical = p1.x == p2.x;
    const double k = horizontal || vertical ? 0.0 : (double(p2.y) - p1.y) / (double(p2.x) - p1.x);
    int64_t left = box.left, top = box.top, right = box.right, bottom = box.bottom;
    const auto shift = [&](int64_t dx, int64_t dy) {
        left += dx, right += dx, top += dy, bottom += dy;
    };
    int64_t move = 0;
    if (left < bound.left) {
        const int64_t dx = int64_t{bound.left} - left;
        if (!RoundShift(double(dx) * k, move)) return 0;
        shift(dx, move);
    }
    if (right > bound.right) {
        const int64_t dx = right - bound.right;
        if (!RoundShift(-double(dx) * k, move)) return 0;
        shift(-dx, move);
    }
    if (top < bound.top) {
        if (horizontal) return 0;
        const int64_t dy = int64_t{bound.top} - top;
        if (!RoundShift(vertical ? 0.0 : double(dy) / k, move)) return 0;
        shift(move, dy);
    }
    if (bottom > bound.bottom) {
        if (horizontal) return 0;
        const int64_t dy = bottom - bound.bottom;
        if (!RoundShift(vertical ? 0.0 : -double(dy) / k, move)) return 0;
        shift(move, -dy);
    }
    constexpr int64_t kLimit = int64_t{1} << 31;
    if (std::llabs(left) >= kLimit || std::llabs(right) >= kLimit || std::llabs(top) >= kLimit ||
        std::llabs(bottom) >= kLimit)
        return 0;
    box = {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
           static_cast<int32_t>(bottom)};
    return RectContains(box, bound);
}
