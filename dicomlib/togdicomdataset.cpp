#include "dicomlib/togdicomdataset.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <sys/stat.h>

#include "dicomlib/togdicomdatasetreader.h"
#include "dicomlib/toglogwriter.h"
#include "dicomlib/togresult.h"
#include "dicomlib/togutils.h"

using namespace TogDicomLib;

namespace {

const char kCloseReadingSignature[] = "int __thiscall TogDicomDataset::CloseReading(void)";
const char kOpenByPathSignature[] =
    "int __thiscall TogDicomDataset::OpenReadingFileByPath(const class TogString &,unsigned char,const "
    "class TogString &,unsigned int)";

struct TransferSyntaxRow {
    const char16_t* uid;
    Encoding encoding;
};

const TransferSyntaxRow kTransferSyntaxes[] = {
    {u"1.2.840.10008.1.2", Encoding::ImplicitLittle},
    {u"1.2.840.10008.1.2.1", Encoding::ExplicitLittle},
    {u"1.2.840.10008.1.2.1.99", Encoding::Deflated},
    {u"1.2.840.10008.1.2.2", Encoding::ExplicitBig},
    {u"1.2.840.10008.1.2.4.50", Encoding::ExplicitLittle},
    {u"1.2.840.10008.1.2.4.51", Encoding::ExplicitLittle},
    {u"1.2.840.10008.1.2.4.57", Encoding::ExplicitLittle},
    {u"1.2.840.10008.1.2.4.70", Encoding::ExplicitLittle},
    {u"1.2.840.10008.1.2.4.80", Encoding::ExplicitLittle},
    {u"1.2.840.10008.1.2.4.81", Encoding::ExplicitLittle},
    {u"1.2.840.10008.1.2.4.90", Encoding::ExplicitLittle},
    {u"1.2.840.10008.1.2.4.91", Encoding::ExplicitLittle},
    {u"1.2.840.10008.1.2.4.94", Encoding::ExplicitLittle},
    {u"1.2.840.10008.1.2.4.95", Encoding::ExplicitLittle},
    {u"1.2.840.10008.1.2.4.100", Encoding::ExplicitLittle},
    {u"1.2.840.10008.1.2.5", Encoding::ExplicitLittle},
};

// Read buffer of the streams opened by path.
constexpr size_t kStreamBuffer = 64 * 1024;

}  // namespace

namespace TogDicomLib {

Encoding TransferSyntaxEncoding(const TogString& uid) noexcept {
    if (uid.IsEmpty()) return Encoding::ImplicitLittle;
    for (const TransferSyntaxRow& row : kTransferSyntaxes) {
        if (uid == row.uid) return row.encoding;
    }
    return Encoding::ExplicitLittle;
}

const TogDicomDatasetSettings& DefaultDatasetSettings() noexcept {
    static const TogDicomDatasetSettings defaults;
    return defaults;
}

}  // namespace TogDicomLib

TogDicomSource TogDicomSource::FromCallbacks(TogDicomReadFunction read, TogDicomSkipFunction skip,
                                             void* context, int64_t size) noexcept {
    TogDicomSource source;
    source.read = read;
    source.skip = skip;
    source.context = context;
    source.size = size;
    return source;
}

TogDicomSource TogDicomSource::FromMemory(const void* data, uint64_t size, bool copy) noexcept {
    TogDicomSource source;
    source.memory = data;
    source.memorySize = size;
    source.copyMemory = copy;
    source.size = static_cast<int64_t>(std::min<uint64_t>(size, INT64_MAX));
    return source;
}

TogDicomSource TogDicomSource::FromStream(FILE* stream, const TogString& name) noexcept {
    TogDicomSource source;
    source.stream = stream;
    source.name = name;
    struct stat info;
    if (stream != nullptr && fstat(fileno(stream), &info) == 0 && S_ISREG(info.st_mode)) {
        const off_t at = ftello(stream);
        if (at >= 0 && at <= info.st_size) source.size = info.st_size - at;
    }
    return source;
}

TogDicomDataset::TogDicomDataset(const TogDicomDatasetSettings* settings) noexcept
    : settings_(settings != nullptr ? *settings : DefaultDatasetSettings()) {
    Reset();
}

TogDicomDataset::~TogDicomDataset() {
    closing_ = true;
    delete root_;
    root_ = nullptr;
    while (!pending_.empty()) delete pending_.back();
    CloseReading();
}

TogDicomDataElement* TogDicomDataset::CreateElement(uint32_t group, uint32_t element) noexcept {
    try {
        if (pending_.size() == pending_.capacity()) pending_.reserve(pending_.empty() ? 16 : pending_.size() * 2);
    } catch (...) {
        return nullptr;
    }
    auto* created = new (std::nothrow) TogDicomDataElement(this);
    if (created == nullptr) return nullptr;
    created->group_ = group;
    created->element_ = element;
    created->pending_ = true;
    pending_.push_back(created);
    return created;
}

void TogDicomDataset::Unregister(TogDicomDataElement* element) noexcept {
    // The list stays short: the elements being read and their ancestors.
    for (size_t i = pending_.size(); i-- > 0;) {
        if (pending_[i] == element) {
            pending_.erase(pending_.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    element->pending_ = false;
}

void TogDicomDataset::RootDeleted(TogDicomDataElement* element) noexcept {
    if (root_ == element) root_ = nullptr;
}

void TogDicomDataset::Reset() noexcept {
    if (root_ == nullptr) root_ = new (std::nothrow) TogDicomDataElement(this);
    if (root_ != nullptr) root_->ClearValue();
    while (!pending_.empty()) delete pending_.back();
    sourceSize_ = -1;
    memory_ = nullptr;
    ownedMemory_.reset();
    streamMode_ = false;
    stream_ = nullptr;
    sourceName_.Clear();
    read_ = nullptr;
    skip_ = nullptr;
    context_ = nullptr;
    position_ = 0;
    pixelDataStart_ = 0;
    pixelDataSize_ = 0;
    pixelDataVR_ = VR::Blank;
    itemsPassedOver_ = false;
    CloseReading();
}

int TogDicomDataset::CloseReading() noexcept {
    if (ownedFile_ == nullptr) return ResultSuccess;
    FILE* file = ownedFile_;
    ownedFile_ = nullptr;
    if (stream_ == file) {
        stream_ = nullptr;
        streamMode_ = false;
    }
    if (std::fclose(file) != 0) {
        togutils::WriteWindowsAPIErrorMessageToLog(kCloseReadingSignature, "CloseHandle", -1);
        return ResultStreamFailed;
    }
    return ResultSuccess;
}

int TogDicomDataset::OpenReadingFile(TogDicomReadFunction read, TogDicomSkipFunction skip, void* context,
                                     bool part10, const TogString& transferSyntax, uint32_t userFlags,
                                     int64_t sourceSize) noexcept {
    Reset();
    return Open(TogDicomSource::FromCallbacks(read, skip, context, sourceSize), userFlags, false, part10,
                transferSyntax);
}

int TogDicomDataset::OpenReadingFile(const TogDicomSource& source, bool part10,
                                     const TogString& transferSyntax, uint32_t userFlags) noexcept {
    Reset();
    return Open(source, userFlags, false, part10, transferSyntax);
}

int TogDicomDataset::OpenReadingFileByPath(const TogString& path, bool part10,
                                           const TogString& transferSyntax, uint32_t userFlags) noexcept {
    Reset();
    const std::string name = path.ToUtf8();
    FILE* file = name.empty() ? nullptr : std::fopen(name.c_str(), "rbe");
    if (file == nullptr) {
        return togutils::MapPlatformError(kOpenByPathSignature, "CreateFileW", name.empty() ? ENOENT : errno,
                                          path);
    }
    ownedFile_ = file;
    std::setvbuf(file, nullptr, _IOFBF, kStreamBuffer);
    return Open(TogDicomSource::FromStream(file, path), userFlags, false, part10, transferSyntax);
}

int TogDicomDataset::OpenReading(TogDicomReadFunction read, TogDicomSkipFunction skip, void* context,
                                 uint32_t userFlags, int64_t sourceSize) noexcept {
    Reset();
    return Open(TogDicomSource::FromCallbacks(read, skip, context, sourceSize), userFlags, true, false,
                TogString());
}

int TogDicomDataset::OpenReading(const TogDicomSource& source, uint32_t userFlags) noexcept {
    Reset();
    return Open(source, userFlags, true, false, TogString());
}

int TogDicomDataset::Open(const TogDicomSource& source, uint32_t userFlags, bool fixedLayout, bool part10,
                          const TogString& transferSyntax) noexcept {
    if (root_ == nullptr) return ResultOutOfMemory;
    userFlags_ = userFlags;
    if (!sourceName_.Assign(source.name)) return ResultOutOfMemory;
    sourceSize_ = source.size;
    if (source.read != nullptr) {
        read_ = source.read;
        skip_ = source.skip;
        context_ = source.context;
    } else if (source.stream != nullptr) {
        stream_ = source.stream;
        streamMode_ = true;
    } else {
        if (source.memory == nullptr && source.memorySize != 0) return ResultBadArgument;
        if (source.memorySize > static_cast<uint64_t>(INT64_MAX)) return ResultBadArgument;
        sourceSize_ = static_cast<int64_t>(source.memorySize);
        memory_ = static_cast<const uint8_t*>(source.memory);
        if (source.copyMemory && source.memorySize > 0) {
            ownedMemory_.reset(new (std::nothrow) uint8_t[source.memorySize]);
            if (ownedMemory_ == nullptr) return ResultOutOfMemory;
            std::memcpy(ownedMemory_.get(), source.memory, source.memorySize);
            memory_ = ownedMemory_.get();
        }
    }

    Reader reader(*this);
    int result;
    if (fixedLayout) {
        result = reader.FixedLayout(root_, 0, UndefinedLength);
    } else if (part10) {
        result = reader.Preamble(false);
    } else {
        result = reader.DataSet(root_, TransferSyntaxEncoding(transferSyntax), false, 0, UndefinedLength);
    }
    if (result == ResultSuccess) result = reader.PostPass(root_, true, true);
    // A borrowed buffer is the caller's only for the opening call.
    if (ownedMemory_ == nullptr) memory_ = nullptr;
    return result;
}

TogDicomDataElement* TogDicomDataset::FindElement(uint32_t group, uint32_t element) const noexcept {
    return root_ != nullptr ? root_->FindChild(group, element) : nullptr;
}

TogString TogDicomDataset::GetString(uint32_t group, uint32_t element, const TogString& fallback) const noexcept {
    TogString text;
    if (root_ == nullptr) return fallback;
    root_->GetChildString(group, element, text, fallback);
    return text;
}

uint32_t TogDicomDataset::GetUIntOrDefault(uint32_t group, uint32_t element, uint32_t fallback, uint32_t vr,
                                           int index) const noexcept {
    return root_ != nullptr ? root_->GetChildUIntOrDefault(group, element, fallback, vr, index) : fallback;
}

int32_t TogDicomDataset::GetIntOrDefault(uint32_t group, uint32_t element, int32_t fallback, uint32_t vr,
                                         int index) const noexcept {
    return root_ != nullptr ? root_->GetChildIntOrDefault(group, element, fallback, vr, index) : fallback;
}
