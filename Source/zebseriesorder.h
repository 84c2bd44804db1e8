#pragma once
// The order a viewer shows the images of a series in: by Instance Number;
// images whose numbers tie, or that have none, by their position along the
// series' slice normal; then as the directory lists them. Numbered images
// come before those without a number, and among images with equal or no
// numbers those with a position before those without.
//
//   std::vector<ZEBSeriesKey> keys = ...;       // in directory order
//   std::vector<double> slice;
//   for (size_t k : ZEBSeriesOrder::Sort(keys, slice)) ... the k-th image ...
#include <cstddef>
#include <cstdint>
#include <vector>

// What orders one image.
struct ZEBSeriesKey {
    bool hasNumber = false;
    int32_t number = 0;       // Instance Number (0020,0013)
    bool hasPosition = false;
    double position[3] = {};  // Image Position (Patient) (0020,0032)
    bool hasOrientation = false;
    double orientation[6] = {};  // Image Orientation (Patient) (0020,0037): row, column
};

class ZEBSeriesOrder {
public:
    // Whether the numbers alone order the series: every image has one and
    // no two are equal.
    static bool NumbersSuffice(const std::vector<ZEBSeriesKey>& keys);
    // The images in their order (indices into `keys`). `slice` receives, for
    // each image of `keys`, its position along the slice normal: the normal
    // of the first image with an orientation, and the image's own position;
    // NaN when either is unknown.
    static std::vector<size_t> Sort(const std::vector<ZEBSeriesKey>& keys, std::vector<double>& slice);
};
