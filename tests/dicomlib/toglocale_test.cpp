// Number conversions under a German numeric locale, where the C library's
// own functions would write and read a decimal comma.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <locale.h>
#include <string>

#include "dicomlib/togstring.h"
#include "tests/test_folder.h"

#if defined(__SANITIZE_ADDRESS__)
#define TOG_TEST_LSAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TOG_TEST_LSAN 1
#endif
#endif
#ifdef TOG_TEST_LSAN
#include <sanitizer/lsan_interface.h>
#endif

namespace {

// glibc keeps (and never frees) the parsed LOCPATH of a locale loaded from a
// folder; the leak checker is told to look away while locales are loaded.
class LocaleLoading {
public:
    LocaleLoading() {
#ifdef TOG_TEST_LSAN
        __lsan_disable();
#endif
    }
    ~LocaleLoading() {
#ifdef TOG_TEST_LSAN
        __lsan_enable();
#endif
    }
};

// Makes de_DE.UTF-8 available: the installed one, or one built with
// localedef into a temporary folder that LOCPATH then names.
class GermanLocale {
public:
    GermanLocale() {
        LocaleLoading loading;
        handle_ = newlocale(LC_ALL_MASK, "de_DE.UTF-8", static_cast<locale_t>(0));
        if (handle_ != static_cast<locale_t>(0)) return;
        std::string pattern = testfolder::file("toglocale.XXXXXX");
        if (mkdtemp(pattern.data()) == nullptr) return;
        folder_ = pattern;
        const std::string command = "localedef -i de_DE -f UTF-8 " + folder_ + "/de_DE.UTF-8 >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0) return;
        setenv("LOCPATH", folder_.c_str(), 1);
        handle_ = newlocale(LC_ALL_MASK, "de_DE.UTF-8", static_cast<locale_t>(0));
    }
    ~GermanLocale() {
        if (handle_ != static_cast<locale_t>(0)) freelocale(handle_);
        if (!folder_.empty()) {
            unsetenv("LOCPATH");
            std::error_code ignored;
            std::filesystem::remove_all(folder_, ignored);
        }
    }
    locale_t handle() const { return handle_; }

private:
    locale_t handle_ = static_cast<locale_t>(0);
    std::string folder_;
};

TEST(TogStringLocale, NumbersIgnoreAGermanLocale) {
    GermanLocale german;
    if (german.handle() == static_cast<locale_t>(0)) {
        GTEST_SKIP() << "de_DE.UTF-8 is not available and could not be built";
    }
    // Both the process locale and this thread's locale are German.
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    {
        LocaleLoading loading;
        ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
    }
    const locale_t old = uselocale(german.handle());
    char probe[32];
    std::snprintf(probe, sizeof(probe), "%.1f", 1.5);
    const std::string c_library = probe;

    const std::string formatted = TogString::Format(u"%f|%.2e|%g|%'d", 1.5, 1234.5, 0.25, 1234567).ToUtf8();
    const float parsed = TogString(u"1.5").ToFloat();
    const double parsed_comma = TogString(u"1,5").ToDouble();
    const char16_t* end = nullptr;
    const double ds = togutils::StrToDouble(u" -2.75e1", &end);
    const int32_t is = togutils::StrToLong(u"1234567", nullptr, 10);
    const std::string from_int = TogString::FromInt(-1234567).ToUtf8();

    uselocale(old);
    {
        LocaleLoading loading;
        std::setlocale(LC_ALL, previous.c_str());
    }

    EXPECT_EQ(c_library, "1,5");  // the locale is really in force
    EXPECT_EQ(formatted, "1.500000|1.23e+03|0.25|1234567");
    EXPECT_EQ(parsed, 1.5f);
    EXPECT_EQ(parsed_comma, 1.0);
    EXPECT_EQ(ds, -27.5);
    EXPECT_EQ(*end, u'\0');
    EXPECT_EQ(is, 1234567);
    EXPECT_EQ(from_int, "-1234567");
}

}  // namespace
