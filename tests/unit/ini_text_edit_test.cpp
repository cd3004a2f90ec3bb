#include "config/ini_text_edit.h"

#include <gtest/gtest.h>

namespace orvo {
namespace {

TEST(WithIniValue, ChangesOnlyTheOneLineAndKeepsEveryOtherCharacter) {
    struct Case {
        const char* name;
        const wchar_t* before;
        const wchar_t* after;
    };
    const Case cases[] = {
        {"value replaced, spacing and line end kept", L"; c\r\n[S]\r\nA=1\r\nK = old value \r\n\r\n[T]\r\n",
         L"; c\r\n[S]\r\nA=1\r\nK = C:\\jre\\\r\n\r\n[T]\r\n"},
        {"empty value", L"[S]\nK=\n", L"[S]\nK=C:\\jre\\\n"},
        {"last line without line end", L"[S]\r\nK=old", L"[S]\r\nK=C:\\jre\\"},
        {"names in any case, blanks around them", L"[  s  ]\n\t k\t=old\n", L"[  s  ]\n\t k\t=C:\\jre\\\n"},
        {"first of two sections", L"[S]\nA=1\n[S]\nK=2\n", L"[S]\nA=1\nK=C:\\jre\\\n[S]\nK=2\n"},
        {"missing key goes after the section's last line", L"[S]\r\nA=1\r\n\r\n\r\n[T]\r\nK=x\r\n",
         L"[S]\r\nA=1\r\nK=C:\\jre\\\r\n\r\n\r\n[T]\r\nK=x\r\n"},
        {"empty section", L"[S]\n[T]\n", L"[S]\nK=C:\\jre\\\n[T]\n"},
        {"section header last, without line end", L"A=1\r\n[S]", L"A=1\r\n[S]\r\nK=C:\\jre\\\r\n"},
        {"key before any section or in another one is not it", L"K=0\n[T]\nK=1\n[S]\nA=2\n",
         L"K=0\n[T]\nK=1\n[S]\nA=2\nK=C:\\jre\\\n"},
        {"comments and longer names are not the key", L"[S]\n;K=1\nKK=2\nK2=3\n",
         L"[S]\n;K=1\nKK=2\nK2=3\nK=C:\\jre\\\n"},
        {"missing section appended with the file's line end", L"[T]\nA=1\n", L"[T]\nA=1\n[S]\nK=C:\\jre\\\n"},
        {"missing section after a last line without line end", L"[T]\r\nA=1", L"[T]\r\nA=1\r\n[S]\r\nK=C:\\jre\\\r\n"},
        {"empty text", L"", L"[S]\r\nK=C:\\jre\\\r\n"},
        {"a lone CR ends no line", L"A=1\r", L"A=1\r\r\n[S]\r\nK=C:\\jre\\\r\n"},
        {"a \"[\" line without \"]\" opens no section", L"[S\nK=1\n", L"[S\nK=1\n[S]\nK=C:\\jre\\\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WithIniValue(c.before, L"S", L"K", L"C:\\jre\\"), c.after) << c.name;
    }
}

}  // namespace
}  // namespace orvo
