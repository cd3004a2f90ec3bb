#include "hosting/option_paths.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

namespace orvo {
namespace {

// A code page of ASCII alone, and a file system that knows the paths of the map
// (with their short forms; a short form equal to the path: no short name kept).
class OptionPathsTest : public testing::Test {
protected:
    OptionPathsTest() {
        services.representable = [](std::wstring_view text) {
            for (wchar_t c : text) {
                if (c > 0x7F) return false;
            }
            return true;
        };
        services.shortForm = [this](const std::wstring& path) -> std::optional<std::wstring> {
            auto found = files.find(path);
            if (found == files.end()) return std::nullopt;
            return found->second;
        };
    }

    RepresentedOption Represent(std::wstring_view option) { return RepresentOptionPaths(option, services); }

    std::map<std::wstring, std::wstring> files{
        {L"C:\\\u041F\u0440\u043E\u0433\u0430", L"C:\\2AB1~1"},
        {L"C:\\\u041F\u0440\u043E\u0433\u0430\\app.jar", L"C:\\2AB1~1\\app.jar"},
        {L"C:\\\u041F\u0440\u043E\u0433\u0430\\\u00E9t\u00E9.jar", L"C:\\2AB1~1\\TT~1.JAR"},
        {L"D:\\\u65E5\u672C", L"D:\\\u65E5\u672C"},  // a drive without short names
        {L"D:\\\u65E5\u672C\\lib.jar", L"D:\\\u65E5\u672C\\lib.jar"},
    };
    OptionPathServices services;
};

const std::wstring kProga = L"C:\\\u041F\u0440\u043E\u0433\u0430";
const std::wstring kNihon = L"D:\\\u65E5\u672C";

TEST_F(OptionPathsTest, PathsOfEveryPathOptionBecomeTheirShortForm) {
    struct Case {
        std::wstring given;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"-Djava.class.path=" + kProga + L"\\app.jar;C:\\plain.jar;" + kProga + L"\\\u00E9t\u00E9.jar;",
         L"-Djava.class.path=C:\\2AB1~1\\app.jar;C:\\plain.jar;C:\\2AB1~1\\TT~1.JAR;"},
        {L"-Dapp.home=" + kProga, L"-Dapp.home=C:\\2AB1~1"},
        {L"--module-path=" + kProga + L";C:\\mods", L"--module-path=C:\\2AB1~1;C:\\mods"},
        {L"--upgrade-module-path=" + kProga, L"--upgrade-module-path=C:\\2AB1~1"},
        {L"--patch-module=java.base=" + kProga + L"\\app.jar", L"--patch-module=java.base=C:\\2AB1~1\\app.jar"},
        {L"-Xbootclasspath/a:" + kProga + L"\\app.jar", L"-Xbootclasspath/a:C:\\2AB1~1\\app.jar"},
        // the agent's own options after "=" stay as written
        {L"-javaagent:" + kProga + L"\\app.jar=x=1", L"-javaagent:C:\\2AB1~1\\app.jar=x=1"},
        {L"-agentpath:" + kProga + L"\\app.jar", L"-agentpath:C:\\2AB1~1\\app.jar"},
        // a file the VM is to create: its folder's short form and its own name
        {L"-XX:ErrorFile=" + kProga + L"\\crash.log", L"-XX:ErrorFile=C:\\2AB1~1\\crash.log"},
        {L"-XX:HeapDumpPath=" + kProga, L"-XX:HeapDumpPath=C:\\2AB1~1"},
        {L"-Xloggc:" + kProga + L"/gc.log", L"-Xloggc:C:\\2AB1~1/gc.log"},
        {L"-XX:SharedArchiveFile=" + kProga + L"\\App-21.jsa", L"-XX:SharedArchiveFile=C:\\2AB1~1\\App-21.jsa"},
        {L"-XX:AOTCache=" + kProga + L"\\App-25.aot", L"-XX:AOTCache=C:\\2AB1~1\\App-25.aot"},
        {L"-XX:AOTConfiguration=" + kProga + L"\\a.aot.config", L"-XX:AOTConfiguration=C:\\2AB1~1\\a.aot.config"},
    };
    for (const Case& c : cases) {
        RepresentedOption result = Represent(c.given);
        EXPECT_EQ(result.option, c.expected);
        EXPECT_EQ(result.unrepresentablePath, L"");
    }
}

TEST_F(OptionPathsTest, WhatIsNoPathStaysAsWritten) {
    const std::wstring unchanged[] = {
        // the code page represents it whole
        L"-Djava.class.path=C:\\app\\a.jar;;",
        // a value that names nothing, not even a folder: text, not a path
        L"-Dgreeting=\u041F\u0440\u0438\u0432\u0435\u0442",
        L"-Djava.class.path=C:\\\u041D\u0435\u0442\\a.jar",
        // options that carry no path
        L"-Xmx512m",
        L"--add-opens=\u041F",
        L"-D" + kProga,
        L"--patch-module=" + kProga,
        L"-XX:OnError=" + kProga,
    };
    for (const std::wstring& option : unchanged) {
        RepresentedOption result = Represent(option);
        EXPECT_EQ(result.option, option);
        EXPECT_EQ(result.unrepresentablePath, L"");
    }
}

TEST_F(OptionPathsTest, PathWithoutARepresentableFormIsNamed) {
    struct Case {
        std::wstring given;
        std::wstring failed;
    };
    const Case cases[] = {
        // the drive keeps no short names
        {L"-Djava.class.path=C:\\a.jar;" + kNihon + L"\\lib.jar;" + kNihon, kNihon + L"\\lib.jar"},
        // a folder that exists, a name the code page lacks for a file still to be made
        {L"-XX:ErrorFile=" + kProga + L"\\\u0436.log", kProga + L"\\\u0436.log"},
        {L"-javaagent:" + kNihon + L"\\lib.jar=opts", kNihon + L"\\lib.jar"},
    };
    for (const Case& c : cases) EXPECT_EQ(Represent(c.given).unrepresentablePath, c.failed);
}

TEST_F(OptionPathsTest, PathThatMayStayDamagedDoesNotStopTheOption) {
    services.mayStayDamaged = [](const std::wstring& path) { return path == kNihon; };
    RepresentedOption result = Represent(L"-Djava.library.path=" + kProga + L";" + kNihon);
    EXPECT_EQ(result.option, L"-Djava.library.path=C:\\2AB1~1;" + kNihon);
    EXPECT_EQ(result.unrepresentablePath, L"");
    EXPECT_EQ(Represent(L"-Djava.library.path=" + kNihon + L"\\lib.jar").unrepresentablePath,
              kNihon + L"\\lib.jar");
}

}  // namespace
}  // namespace orvo
