#include "LaunchResult.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>

namespace
{

constexpr const char* kSuccess = "successful, returned a value greater than 32";

struct DescriptionCase
{
    kestrel::LaunchResult result;
    const char* description;
};

// Shown in the test's listing in place of the case's bytes.
void PrintTo(const DescriptionCase& c, std::ostream* os)
{
    *os << c.result;
}

class LaunchResultTest : public testing::TestWithParam<DescriptionCase>
{
};

TEST_P(LaunchResultTest, DescribesTheResult)
{
    EXPECT_STREQ(kestrel::DescribeLaunchResult(GetParam().result), GetParam().description) << GetParam().result;
}

INSTANTIATE_TEST_SUITE_P(
    ShellResults, LaunchResultTest,
    testing::Values(
        DescriptionCase{0, "The operating system is out of memory or resources."},
        DescriptionCase{2, "The specified file was not found."},
        DescriptionCase{3, "The specified path was not found. "},
        DescriptionCase{5, "The operating system denied access to the specified file."},
        DescriptionCase{8, "There was not enough memory to complete the operation."},
        DescriptionCase{11, "The .exe file is invalid (non-Microsoft Win32 .exe or error in .exe image)."},
        DescriptionCase{26, "A sharing violation occurred."},
        DescriptionCase{27, "The file name association is incomplete or invalid."},
        DescriptionCase{28, "The DDE transaction could not be completed because the request timed out."},
        DescriptionCase{29, "The DDE transaction failed."},
        DescriptionCase{30, "The Dynamic Data Exchange (DDE) transaction could not be completed because other "
                            "DDE transactions were being processed."},
        DescriptionCase{31, "There is no application associated with the given file name extension. This error "
                            "will also be returned if you attempt to print a file that is not printable."},
        DescriptionCase{32, "The specified dynamic-link library (DLL) was not found."},
        // Values the table does not name, and success.
        DescriptionCase{1, kSuccess}, DescriptionCase{4, kSuccess}, DescriptionCase{6, kSuccess},
        DescriptionCase{7, kSuccess}, DescriptionCase{9, kSuccess}, DescriptionCase{10, kSuccess},
        DescriptionCase{12, kSuccess}, DescriptionCase{25, kSuccess}, DescriptionCase{33, kSuccess},
        DescriptionCase{42, kSuccess}, DescriptionCase{0x7FFFFFFF, kSuccess},
        // Compared as unsigned: a "negative" handle value is far above 32.
        DescriptionCase{static_cast<kestrel::LaunchResult>(-2), kSuccess}));

} // namespace
