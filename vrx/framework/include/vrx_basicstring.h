#pragma once
// The library's string: a standard string over the manager's memory whose
// members never throw. A failed assign, append or erase is reported
// (0x80010000 when memory ran out, 0x80000000 otherwise) and returns false; the
// string keeps what the standard string left. UTF-16 text uses char16_t.
#include <string>
#include <string_view>

#include "vrx/framework/base/vrx_utility.h"
#include "vrx/framework/include/vrx_allocator.h"
#include "vrx/framework/include/vrx_failure.h"

namespace vrx {

template <class Ch>
class VRX_BasicString : public VRX_Utility {
public:
    using value_type = Ch;
    using storage_type = std::basic_string<Ch, std::char_traits<Ch>, VRX_Allocator<Ch>>;
    using view_type = std::basic_string_view<Ch>;

    explicit VRX_BasicString(VRX_Manager* manager) noexcept
        : VRX_Utility(manager), text_(VRX_Allocator<Ch>(manager)) {}
    VRX_BasicString(VRX_Manager* manager, const Ch* text) noexcept : VRX_BasicString(manager) {
        assign(text);
    }
    // The source's manager, then its characters (empty and reported when they
    // cannot be copied).
    VRX_BasicString(const VRX_BasicString& other) noexcept : VRX_BasicString(other.manager_) {
        assign(other);
    }
    VRX_BasicString(VRX_BasicString&& other) noexcept
        : VRX_Utility(other.manager_), text_(std::move(other.text_)) {}
    ~VRX_BasicString() override = default;

    VRX_BasicString& operator=(const VRX_BasicString& other) noexcept {
        assign(other);
        return *this;
    }
    VRX_BasicString& operator=(VRX_BasicString&& other) noexcept {
        if (this != &other) {
            manager_ = other.manager_;
            text_ = std::move(other.text_);
        }
        return *this;
    }

    bool assign(const VRX_BasicString& other) noexcept {
        if (this == &other) return true;
        return assign(other.view());
    }
    // A null text clears the string.
    bool assign(const Ch* text) noexcept {
        if (!text) {
            text_.clear();
            return true;
        }
        return assign(view_type(text));
    }
    bool assign(view_type text) noexcept {
        try {
            text_.assign(text.data(), text.size());
            return true;
        } catch (...) {
            detail::report_caught(manager_, "VRX_BasicString<Ch>::assign()", __FILE__, __LINE__);
            return false;
        }
    }

    bool append(const VRX_BasicString& other) noexcept { return append(other.view()); }
    // A null text appends nothing.
    bool append(const Ch* text) noexcept { return text ? append(view_type(text)) : true; }
    bool append(view_type text) noexcept {
        try {
            text_.append(text.data(), text.size());
            return true;
        } catch (...) {
            detail::report_caught(manager_, "VRX_BasicString<Ch>::append()", __FILE__, __LINE__);
            return false;
        }
    }
    bool append(Ch c) noexcept { return append(view_type(&c, 1)); }

    // Removes up to count characters from position (position at most size()).
    bool erase(size_t position = 0, size_t count = view_type::npos) noexcept {
        try {
            text_.erase(position, count);
            return true;
        } catch (...) {
            detail::report_caught(manager_, "VRX_BasicString<Ch>::erase()", __FILE__, __LINE__);
            return false;
        }
    }
    void clear() noexcept { text_.clear(); }

    // Three-way comparison of the characters with a zero-terminated text
    // (a null text counts as empty): negative, 0 when equal, positive.
    int compare(const Ch* text) const noexcept {
        return view().compare(text ? view_type(text) : view_type());
    }
    int compare(const VRX_BasicString& other) const noexcept {
        return view().compare(other.view());
    }
    bool operator==(const Ch* text) const noexcept { return compare(text) == 0; }
    bool operator==(const VRX_BasicString& other) const noexcept { return compare(other) == 0; }

    const Ch* c_str() const noexcept { return text_.c_str(); }
    const Ch* data() const noexcept { return text_.data(); }
    size_t size() const noexcept { return text_.size(); }
    size_t length() const noexcept { return text_.size(); }
    bool empty() const noexcept { return text_.empty(); }
    // Character n; n must be below size().
    Ch operator[](size_t n) const noexcept { return n < text_.size() ? text_[n] : Ch(); }
    view_type view() const noexcept { return view_type(text_.data(), text_.size()); }

private:
    storage_type text_;
};

using VRX_String = VRX_BasicString<char>;
using VRX_WString = VRX_BasicString<char16_t>;

}  // namespace vrx
