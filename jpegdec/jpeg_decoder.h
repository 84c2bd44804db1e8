#pragma once
// The JPEG decoder core: a plain library with an integer status convention.
// One JpegDecoderContext holds everything about one stream:
//
//   InitJpegLibrary(nullptr, nullptr);                  // once per user
//   JpegStatus status = 0;
//   JpegDecoderContext* ctx = CreateDecompressor(&source, nullptr, user, &status);
//   status = ReadHeader(ctx, kJpegColorAsStored, 0, nullptr);   // 0: no length limit
//   SetScaleDenominator(ctx, 2);                       // optional: 1, 2, 4, 8
//   status = StartDecompress(ctx);
//   for (rows...) status = ReadRows(ctx, row);          // one output row per call
//   DestroyDecompressor(ctx);
//   ReleaseJpegLibrary(nullptr, nullptr);
//
// Every operation returns a JpegStatus: 1 success, above 1 a warning (the
// operation succeeded), below 1 an error. Nothing is reported from inside.
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace jpegdec {

using JpegStatus = int32_t;

inline constexpr JpegStatus kJpegOk = 1;
inline constexpr JpegStatus kJpegWarnCorruptData = 3;     // corrupt entropy data skipped
inline constexpr JpegStatus kJpegWarnMarkerSkipped = 14;  // TEM, JPGn, reserved marker
inline constexpr JpegStatus kJpegWarnBadAppSegment = 100; // e.g. JFIF densities of 0
inline constexpr JpegStatus kJpegEndOrNoMemory = -1;
inline constexpr JpegStatus kJpegBadArgument = -2;
inline constexpr JpegStatus kJpegCorruptData = -3;
inline constexpr JpegStatus kJpegReadError = -11;
inline constexpr JpegStatus kJpegNoSoi = -12;
inline constexpr JpegStatus kJpegBadLength = -13;
inline constexpr JpegStatus kJpegBadValue = -14;
inline constexpr JpegStatus kJpegUnsupported = -50;
inline constexpr JpegStatus kJpegWrongState = -9997;
inline constexpr JpegStatus kJpegMarkerInData = -9999;

// Colour-space codes.
inline constexpr uint32_t kJpegColorRgb = 1;
inline constexpr uint32_t kJpegColorYcbcr = 2;
inline constexpr uint32_t kJpegColorItuLab = 3;
inline constexpr uint32_t kJpegColorGray = 4;
inline constexpr uint32_t kJpegColorGrayReverse = 5;
inline constexpr uint32_t kJpegColorLstar = 6;
inline constexpr uint32_t kJpegColorCmyk = 7;
inline constexpr uint32_t kJpegColorCmy = 8;
inline constexpr uint32_t kJpegColorIccLab = 9;
inline constexpr uint32_t kJpegColorAsStored = 99999;

// Channels of a colour space (0 for 99999 and unknown codes).
uint32_t ColorSpaceChannels(uint32_t colorSpace);

// The decoder's input. read returns the count read, 0 or -1 at the end.
struct JpegSourceRecord {
    int32_t (*readByte)(void* handle) = nullptr;
    int32_t (*read)(void* handle, void* buffer, int32_t n) = nullptr;
    int32_t (*tell)(void* handle) = nullptr;
    int32_t (*seek)(void* handle, int32_t position) = nullptr;
    void* handle = nullptr;
};

// The decoder's memory. A null record stands for malloc, free and calloc.
// allocateZeroed may be null (then memory is allocated and zero-filled); one
// that hands out pages the system zeroes when they are first touched lets a
// large coefficient store cost only what its scans write.
struct JpegAllocatorRecord {
    void* (*allocate)(void* user, size_t size) = nullptr;
    void (*free)(void* user, void* memory) = nullptr;
    void* (*allocateZeroed)(void* user, size_t size) = nullptr;
};

// The default memory limit of a decoder: the largest coefficient store of a
// progressive frame (every block of the image, kept from scan to scan).
inline constexpr uint64_t kJpegDefaultMemoryLimit = uint64_t{1} << 30;

struct JpegDecoderContext;

// Library users. Call under the caller's process-wide mutex.
JpegStatus InitJpegLibrary(const JpegAllocatorRecord* allocator, void* user);
JpegStatus ReleaseJpegLibrary(const JpegAllocatorRecord* allocator, void* user);
// Users counted now (for tests).
uint32_t JpegLibraryUsers();

JpegDecoderContext* CreateDecompressor(const JpegSourceRecord* source,
                                       const JpegAllocatorRecord* allocator, void* user,
                                       JpegStatus* status);
JpegStatus DestroyDecompressor(JpegDecoderContext* ctx);

// Reads the markers up to the first scan and settles the output format.
// inputLength 0 means the input is read to its end.
JpegStatus ReadHeader(JpegDecoderContext* ctx, uint32_t requestedColorSpace, uint32_t inputLength,
                      JpegDecoderContext* tables);
JpegStatus SetLuminanceOnly(JpegDecoderContext* ctx, uint32_t flag);
JpegStatus SetScaleDenominator(JpegDecoderContext* ctx, uint32_t denominator);
void SetRowsWanted(JpegDecoderContext* ctx, uint32_t rows);
// Bytes a progressive frame's coefficient store may take (set before
// StartDecompress); a larger store fails with -1 (out of memory).
void SetMemoryLimit(JpegDecoderContext* ctx, uint64_t bytes);
// The sample value of the rows of a lossless frame that damage or the end
// of the input loses (set before StartDecompress): the middle of the range
// its samples hold, which the caller knows. Until set such rows are bytes of
// 128; so are the lost rows of a DCT frame, and those of a lossless frame of
// 8 bits or less when the value does not fit its samples.
void SetLostSampleValue(JpegDecoderContext* ctx, uint16_t value);
// The lost-sample value until one is set: two bytes of 128.
inline constexpr uint16_t kJpegLostSampleBytes128 = 0x8080;
JpegStatus StartDecompress(JpegDecoderContext* ctx);
// Writes the next output row: width pixels of outChannels samples (bytes, or
// 16-bit words for lossless frames of more than 8 bits).
JpegStatus ReadRows(JpegDecoderContext* ctx, uint8_t* row);

// Kinds of damage met so far in the decode (bits; 0 for none), those of the
// decoders of a frame coded one component per scan included. A row that
// gives warning 3 comes with one of them at least. A last unit that took
// bits past its data into the marker counts as data left over: either way
// the data and the units do not end together.
inline constexpr uint32_t kJpegDamageLost = 1;      // units not decoded: shown mid-grey (sequential, lossless), or a progressive scan's coefficients dropped or undone
inline constexpr uint32_t kJpegDamageNoEnd = 2;     // every unit decoded, but the input ended before the end-of-image marker
inline constexpr uint32_t kJpegDamageLeftOver = 4;  // coded data left over before a marker after a scan's or interval's last unit
uint32_t JpegDamage(const JpegDecoderContext* ctx);

// Decompressions this process started on the kernel-backed path (frames
// decoded whole); for tests and diagnostics.
uint64_t JpegKernelPathStarts();

// Readers of the context.
uint32_t JpegWidth(const JpegDecoderContext* ctx);
uint32_t JpegHeight(const JpegDecoderContext* ctx);
uint32_t JpegComponentCount(const JpegDecoderContext* ctx);
uint32_t JpegPrecision(const JpegDecoderContext* ctx);
uint32_t JpegSampleBits(const JpegDecoderContext* ctx);
uint32_t JpegOutChannels(const JpegDecoderContext* ctx);
uint32_t JpegOutColorSpace(const JpegDecoderContext* ctx);
uint32_t JpegImageColorSpace(const JpegDecoderContext* ctx);
uint32_t JpegFrameMarker(const JpegDecoderContext* ctx);
bool IsProgressive(const JpegDecoderContext* ctx);
bool IsLossless(const JpegDecoderContext* ctx);
bool IsNonInterleaved(const JpegDecoderContext* ctx);
// The components' H<<4|V bytes packed, component 0 highest.
uint32_t SamplingCode(const JpegDecoderContext* ctx);
uint32_t XDensityOf(const JpegDecoderContext* ctx);
uint32_t YDensityOf(const JpegDecoderContext* ctx);
// The comment text of all COM segments, or null.
const char* JpegComment(const JpegDecoderContext* ctx);

// Kept APPn segments.
struct JpegAppSegment {
    uint32_t marker = 0;
    uint16_t length = 0;
    uint8_t* data = nullptr;
};
uint32_t AppSegmentCount(const JpegDecoderContext* ctx);
const JpegAppSegment* AppSegmentAt(const JpegDecoderContext* ctx, uint32_t index);
bool HasJfifApp0(const JpegDecoderContext* ctx);
bool HasExifApp1(const JpegDecoderContext* ctx);
bool HasG3faxApp1(const JpegDecoderContext* ctx);
bool HasAdobeApp14(const JpegDecoderContext* ctx);

// An input source over memory: the record's handle is a memory-source record
// allocated through the allocator (freed with the decoder that uses it, or
// with FreeMemorySource).
bool CreateMemorySource(const uint8_t* data, uint32_t size, const JpegAllocatorRecord* allocator,
                        void* user, JpegSourceRecord* out);
void FreeMemorySource(JpegSourceRecord* source);
// An input source over an open C file, which the decoder closes when it is
// destroyed.
JpegSourceRecord StdioSource(std::FILE* file);

}  // namespace jpegdec
