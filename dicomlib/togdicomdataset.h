#pragma once
// TogDicomDataset: parses one DICOM data set into a tree of
// TogDicomDataElement under one root element.
//
// It reads the DICOM file form of PS3.10 (128-byte preamble, "DICM", the file meta
// group in explicit VR little endian, then the data set in the transfer
// syntax named by (0002,0010)), bare data sets in a transfer syntax given by
// the caller, and a fixed-layout element stream. Implicit and explicit VR,
// little and big endian, sequences and items of defined and undefined length
// and encapsulated pixel data are handled. Pixel Data and the fragments of
// encapsulated pixel data are never read into memory: their position in the
// source is recorded and the caller reads them later from its own storage.
//
// The bytes come from one of three sources: read and skip callbacks, a memory
// buffer, or a C stream. Every declared length is checked against the bytes
// that remain when the size of the source is known, so a corrupt length is
// refused (5000) before anything is allocated.
//
// No operation throws; results are the library's codes (togresult.h).
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "dicomlib/togdicomdataelement.h"
#include "dicomlib/togstring.h"

// Reads `count` bytes at `position` into `buffer`; 0, or a code the reader
// passes on. Called with a null buffer and count 0 it only tells whether the
// source is exhausted, by setting *endOfData to non-zero.
using TogDicomReadFunction = int (*)(void* buffer, int64_t position, uint32_t count, void* context,
                                     uint8_t* endOfData);
// Moves the source by `distance` bytes from `position`; 0 or non-zero.
using TogDicomSkipFunction = int (*)(int64_t position, int32_t distance, void* context);

struct TogDicomDatasetSettings {
    // Not read by the reader.
    TogString name;
    uint32_t reserved[2] = {0, 0};
    // An optional source of blocks for values above `allocatorThreshold`
    // bytes (0: never).
    TogIValueAllocator* allocator = nullptr;
    uint32_t allocatorThreshold = 0;
    // Not read by the reader.
    uint8_t reservedByte = 0;
    // Encoding of the contents of a sequence whose explicit VR was "UN".
    int32_t unSequenceMode = 1;
    // Odd groups whose VR is SQ are skipped (defined length) rather than kept.
    uint8_t skipPrivateSequences = 0;
    // Chooses the second of the two character conversion services.
    uint8_t useSystemCharsetConverter = 0;
};

namespace TogDicomLib {

// Values of TogDicomDatasetSettings::unSequenceMode; any other value detects
// the encoding from the first element.
constexpr int32_t UnSequenceImplicit = 1;
constexpr int32_t UnSequenceEnclosing = 2;
constexpr int32_t UnSequenceDetect = 0;

// Encodings of the transfer syntaxes.
enum class Encoding : int32_t {
    ImplicitLittle = 0,
    ExplicitLittle = 1,
    ExplicitBig = 2,
    // The deflated transfer syntax: refused after the meta group.
    Deflated = 3,
};

// The encoding of a transfer syntax UID: implicit little endian for an empty
// UID, explicit little endian for a UID that is not known.
Encoding TransferSyntaxEncoding(const TogString& uid) noexcept;

// The library's default settings.
const TogDicomDatasetSettings& DefaultDatasetSettings() noexcept;

}  // namespace TogDicomLib

// Where a data set's bytes come from. Exactly one of the three forms is used:
// callbacks (when `read` is set), a C stream (when `stream` is set), or a
// memory buffer.
struct TogDicomSource {
    TogDicomReadFunction read = nullptr;
    TogDicomSkipFunction skip = nullptr;
    void* context = nullptr;
    // A C stream, not owned; reads and skips go through it.
    FILE* stream = nullptr;
    // A memory buffer; copied when `copyMemory` is set, else borrowed for the
    // duration of the opening call.
    const void* memory = nullptr;
    uint64_t memorySize = 0;
    bool copyMemory = false;
    // Bytes in the source from the first byte handed to the reader; -1 when
    // unknown. Known sizes let the reader refuse corrupt lengths before
    // allocating, and let it read ahead through the callbacks.
    int64_t size = -1;
    // Given to the elements whose value is recorded by position.
    TogString name;

    static TogDicomSource FromCallbacks(TogDicomReadFunction read, TogDicomSkipFunction skip,
                                        void* context, int64_t size = -1) noexcept;
    static TogDicomSource FromMemory(const void* data, uint64_t size, bool copy = false) noexcept;
    // The size is taken from the stream's file when it is a regular file.
    static TogDicomSource FromStream(FILE* stream, const TogString& name) noexcept;
};

class TogDicomDataset {
public:
    // Copies the settings (null: the library's defaults) and creates the
    // root element.
    explicit TogDicomDataset(const TogDicomDatasetSettings* settings = nullptr) noexcept;
    ~TogDicomDataset();
    TogDicomDataset(const TogDicomDataset&) = delete;
    TogDicomDataset& operator=(const TogDicomDataset&) = delete;

    // Parses through the callbacks. With `part10` the source starts with the
    // preamble (a source without "DICM" at 128 is read from its first byte as
    // implicit VR little endian); else it is a bare data set in the transfer
    // syntax `transferSyntax`. `sourceSize` is the size of the source when
    // known (-1: unknown). On success the VR of Pixel Data is settled.
    int OpenReadingFile(TogDicomReadFunction read, TogDicomSkipFunction skip, void* context,
                        bool part10, const TogString& transferSyntax, uint32_t userFlags,
                        int64_t sourceSize = -1) noexcept;
    // The same from any source.
    int OpenReadingFile(const TogDicomSource& source, bool part10, const TogString& transferSyntax,
                        uint32_t userFlags) noexcept;
    // Opens the file at `path` (UTF-8 at the system boundary) as a stream that
    // CloseReading closes; its path is the source name of positioned values.
    // 9 when the file cannot be opened.
    int OpenReadingFileByPath(const TogString& path, bool part10, const TogString& transferSyntax,
                              uint32_t userFlags) noexcept;
    // Parses the fixed-layout element stream: every element (item delimiters
    // too) is a tag, two VR letters and a 4-byte length, little endian; items
    // and sequence delimiters are a tag and a 4-byte length. Pixel Data runs
    // to its first zero byte and ends the stream; of encapsulated Pixel Data
    // the basic offset table must be empty (else 6), the next item runs to
    // its first zero byte and later ones are empty.
    int OpenReading(TogDicomReadFunction read, TogDicomSkipFunction skip, void* context,
                    uint32_t userFlags, int64_t sourceSize = -1) noexcept;
    int OpenReading(const TogDicomSource& source, uint32_t userFlags) noexcept;
    // Closes the file opened by OpenReadingFileByPath; 9 when the system
    // refuses.
    int CloseReading() noexcept;

    TogDicomDataElement* GetRoot() const noexcept { return root_; }
    // Forwarders to the root element.
    TogDicomDataElement* FindElement(uint32_t group, uint32_t element) const noexcept;
    TogString GetString(uint32_t group, uint32_t element, const TogString& fallback) const noexcept;
    uint32_t GetUIntOrDefault(uint32_t group, uint32_t element, uint32_t fallback,
                              uint32_t vr = TogDicomLib::VR::Blank, int index = 0) const noexcept;
    int32_t GetIntOrDefault(uint32_t group, uint32_t element, int32_t fallback,
                            uint32_t vr = TogDicomLib::VR::Blank, int index = 0) const noexcept;

    // Offset of the (7FE0,0010) tag read last, and the bytes from that tag to
    // the end of its value (0 when there is none).
    int64_t GetPixelDataStart() const noexcept { return pixelDataStart_; }
    int64_t GetPixelDataSize() const noexcept { return pixelDataSize_; }
    // The VR that tag was read with (blank for implicit VR); the VR the
    // element carries may have been settled by Bits Allocated since.
    uint32_t GetPixelDataVRAsRead() const noexcept { return pixelDataVR_; }

    // Keep odd value lengths as they are instead of padding them to even.
    bool GetKeepOddLengths() const noexcept { return keepOddLengths_; }
    void SetKeepOddLengths(bool keep) noexcept { keepOddLengths_ = keep; }

    // Locate the frames of top-level encapsulated Pixel Data by its basic
    // offset table instead of reading every fragment item: when the source
    // size is known and the table is usable (at least two entries, the first
    // 0, each above the one before, the last within the source), the reader
    // moves from the table to the item its last entry names and reads the
    // items from there to the end of the sequence. The Pixel Data element
    // then holds the table and those items only. Where the table leads to
    // anything but fragment items running on to the sequence delimiter,
    // every item is read as without this setting. Off by default.
    bool GetFramesByOffsetTable() const noexcept { return framesByOffsetTable_; }
    void SetFramesByOffsetTable(bool locate) noexcept { framesByOffsetTable_ = locate; }
    // The last opening passed over the items of the frames before the last
    // one (see SetFramesByOffsetTable).
    bool GetItemsPassedOver() const noexcept { return itemsPassedOver_; }

    const TogDicomDatasetSettings& GetSettings() const noexcept { return settings_; }
    uint32_t GetUserFlags() const noexcept { return userFlags_; }
    const TogString& GetSourceName() const noexcept { return sourceName_; }
    bool IsClosing() const noexcept { return closing_; }

    // A new element of this data set, kept in the pending list (and deleted
    // with the data set) until it is attached to a parent. Null when memory
    // runs out.
    TogDicomDataElement* CreateElement(uint32_t group, uint32_t element) noexcept;
    // Elements created and not attached yet.
    size_t GetPendingCount() const noexcept { return pending_.size(); }

private:
    friend class TogDicomDataElement;
    class Reader;

    void Reset() noexcept;
    int Open(const TogDicomSource& source, uint32_t userFlags, bool fixedLayout, bool part10,
             const TogString& transferSyntax) noexcept;
    void Unregister(TogDicomDataElement* element) noexcept;
    void RootDeleted(TogDicomDataElement* element) noexcept;

    TogDicomDataElement* root_ = nullptr;
    std::vector<TogDicomDataElement*> pending_;
    bool closing_ = false;
    TogDicomDatasetSettings settings_;
    // The memory source and whether the buffer is owned.
    int64_t sourceSize_ = -1;
    const uint8_t* memory_ = nullptr;
    std::unique_ptr<uint8_t[]> ownedMemory_;
    int64_t position_ = 0;
    int64_t pixelDataStart_ = 0;
    int64_t pixelDataSize_ = 0;
    uint32_t pixelDataVR_ = TogDicomLib::VR::Blank;
    FILE* stream_ = nullptr;
    bool streamMode_ = false;
    TogString sourceName_;
    uint32_t userFlags_ = 0;
    // The file opened by OpenReadingFileByPath.
    FILE* ownedFile_ = nullptr;
    TogDicomReadFunction read_ = nullptr;
    TogDicomSkipFunction skip_ = nullptr;
    void* context_ = nullptr;
    bool keepOddLengths_ = false;
    bool framesByOffsetTable_ = false;
    bool itemsPassedOver_ = false;
};
