#include "CommandLine.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>

namespace
{

struct TailCase
{
    const char* name;
    std::u16string commandLine;
    std::u16string expectedTail;
};

// Shown in the test's listing in place of the case's bytes.
void PrintTo(const TailCase& c, std::ostream* os)
{
    *os << c.name;
}

class ArgumentTailTest : public testing::TestWithParam<TailCase>
{
};

TEST_P(ArgumentTailTest, SkipsTheProgramNameAndOneBlank)
{
    const TailCase& c = GetParam();
    const char16_t* const line = c.commandLine.c_str();
    const char16_t* const tail = kestrel::ArgumentTail(line);

    // Always a suffix of the command line, never past its terminating zero.
    ASSERT_GE(tail, line);
    ASSERT_LE(tail, line + c.commandLine.size());
    EXPECT_EQ(std::u16string(tail), c.expectedTail);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ArgumentTailTest,
    testing::Values(
        TailCase{"QuotedPathAndArguments", u"\"C:\\Apps\\LauncherKestrel.exe\" /a \"b c\"", u"/a \"b c\""},
        TailCase{"TwoBlanksKeepOne", u"\"C:\\Apps\\LauncherKestrel.exe\"  /a", u" /a"},
        TailCase{"QuotedPathAndOneBlank", u"\"C:\\Apps\\LauncherKestrel.exe\" ", u""},
        TailCase{"QuotedPathAlone", u"\"C:\\Apps\\LauncherKestrel.exe\"", u""},
        TailCase{"QuotedPathWithBlanks", u"\"C:\\Program Files\\Kestrel\\LauncherKestrel.exe\" x", u"x"},
        TailCase{"UnquotedPath", u"C:\\Apps\\LauncherKestrel.exe /a \"b c\"", u"/a \"b c\""},
        TailCase{"UnquotedPathAlone", u"C:\\Apps\\LauncherKestrel.exe", u""},
        TailCase{"RelativeName", u"LauncherKestrel /scan", u"/scan"},
        TailCase{"ShortNameSpelling", u"C:\\PROGRA~1\\KESTREL\\LAUNCH~1.EXE -x", u"-x"},
        TailCase{"TabAfterName", u"\"C:\\Apps\\LauncherKestrel.exe\"\t/a", u"/a"},
        TailCase{"TabAfterUnquotedName", u"LauncherKestrel.exe\t\t/a", u"\t/a"},
        TailCase{"NoClosingQuote", u"\"C:\\Apps\\LauncherKestrel.exe /a b", u""},
        TailCase{"LoneQuote", u"\"", u""},
        TailCase{"EmptyQuotes", u"\"\" rest", u"rest"},
        TailCase{"ArgumentRightAfterQuote", u"\"C:\\x.exe\"abc def", u"abc def"},
        TailCase{"EmptyCommandLine", u"", u""},
        TailCase{"BlankOnly", u" /a", u"/a"},
        TailCase{"NonAsciiKeptAsIs", u"\"C:\\Caf\u00e9\\L.exe\" \u00e9t\u00e9 \u6f22\u5b57 \U0001F600", u"\u00e9t\u00e9 \u6f22\u5b57 \U0001F600"}),
    [](const testing::TestParamInfo<TailCase>& info) { return std::string(info.param.name); });

} // namespace
