#include "discovery/jvm_library.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>

#include "support/file_tree.h"
#include "support/temp_folder.h"

namespace orvo {
namespace {

using test::TempFolder;

// A runtime folder holding the given files (empty ones: only their existence counts).
std::wstring MakeHome(const TempFolder& root, std::initializer_list<const wchar_t*> files) {
    std::wstring home = root.path() + L"\\home\\";
    for (const wchar_t* file : files) {
        std::wstring path = home + file;
        test::CreateFolderTree(path.substr(0, path.rfind(L'\\')));
        test::WriteFileBytes(path, "");
    }
    return home;
}

struct Located {
    std::wstring path;
    bool isServer;
};

Located Locate(const std::wstring& home, JvmType type) {
    bool isServer = false;
    std::wstring path = LocateJvmLibrary(home, type, isServer);
    return {path, isServer};
}

TEST(LocateJvmLibrary, ServerOnlyHomeIsFoundWithEveryType) {
    TempFolder root;
    std::wstring home = MakeHome(root, {L"bin\\server\\jvm.dll"});
    for (JvmType type : {JvmType::Any, JvmType::ServerOnly, JvmType::FavorServer}) {
        Located found = Locate(home, type);
        EXPECT_EQ(found.path, home + L"bin\\server\\jvm.dll") << static_cast<int>(type);
        EXPECT_TRUE(found.isServer) << static_cast<int>(type);
    }
}

TEST(LocateJvmLibrary, ClientAndServerHomeGivesClientOnlyForAny) {
    TempFolder root;
    std::wstring home = MakeHome(root, {L"bin\\client\\jvm.dll", L"bin\\server\\jvm.dll"});
    Located any = Locate(home, JvmType::Any);
    EXPECT_EQ(any.path, home + L"bin\\client\\jvm.dll");
    EXPECT_FALSE(any.isServer);
    EXPECT_EQ(Locate(home, JvmType::ServerOnly).path, home + L"bin\\server\\jvm.dll");
    Located favor = Locate(home, JvmType::FavorServer);
    EXPECT_EQ(favor.path, home + L"bin\\server\\jvm.dll");
    EXPECT_TRUE(favor.isServer);
}

TEST(LocateJvmLibrary, AnyTriesClientClassicHotspotServerJrockitInThatOrder) {
    TempFolder root;
    std::wstring home = MakeHome(root, {L"bin\\classic\\jvm.dll", L"bin\\hotspot\\jvm.dll",
                                        L"bin\\server\\jvm.dll", L"bin\\jrockit\\jvm.dll"});
    EXPECT_EQ(Locate(home, JvmType::Any).path, home + L"bin\\classic\\jvm.dll");
    DeleteFileW((home + L"bin\\classic\\jvm.dll").c_str());
    EXPECT_EQ(Locate(home, JvmType::Any).path, home + L"bin\\hotspot\\jvm.dll");
    DeleteFileW((home + L"bin\\hotspot\\jvm.dll").c_str());
    EXPECT_EQ(Locate(home, JvmType::Any).path, home + L"bin\\server\\jvm.dll");
    DeleteFileW((home + L"bin\\server\\jvm.dll").c_str());
    Located last = Locate(home, JvmType::Any);
    EXPECT_EQ(last.path, home + L"bin\\jrockit\\jvm.dll");
    EXPECT_FALSE(last.isServer);
}

TEST(LocateJvmLibrary, JrockitOnlyHomeIsNeverAServerRuntime) {
    TempFolder root;
    std::wstring home = MakeHome(root, {L"bin\\jrockit\\jvm.dll"});
    EXPECT_EQ(Locate(home, JvmType::Any).path, home + L"bin\\jrockit\\jvm.dll");
    EXPECT_EQ(Locate(home, JvmType::FavorServer).path, home + L"bin\\jrockit\\jvm.dll");
    EXPECT_EQ(Locate(home, JvmType::ServerOnly).path, L"");
}

TEST(LocateJvmLibrary, FailureLeavesTheCallersServerFlagAlone) {
    TempFolder root;
    std::wstring home = MakeHome(root, {L"bin\\java.dll", L"bin\\client\\jvm.dll"});
    for (bool before : {false, true}) {
        bool isServer = before;
        EXPECT_EQ(LocateJvmLibrary(home, JvmType::ServerOnly, isServer), L"");
        EXPECT_EQ(isServer, before);
    }
    bool isServer = true;
    EXPECT_NE(LocateJvmLibrary(home, JvmType::Any, isServer), L"");
    EXPECT_FALSE(isServer) << "a found client library must clear the flag";
}

TEST(HasJavaDll, LooksOnlyForTheMarkerFile) {
    TempFolder root;
    std::wstring marked = MakeHome(root, {L"bin\\java.dll"});
    EXPECT_TRUE(HasJavaDll(marked));
    EXPECT_EQ(Locate(marked, JvmType::Any).path, L"") << "the marker alone is no library";

    DeleteFileW((marked + L"bin\\java.dll").c_str());
    test::CreateFolderTree(marked + L"bin\\client");
    test::WriteFileBytes(marked + L"bin\\client\\jvm.dll", "");
    EXPECT_FALSE(HasJavaDll(marked)) << "a library without the marker is no runtime home";
    EXPECT_FALSE(HasJavaDll(root.path() + L"\\missing\\"));
}

}  // namespace
}  // namespace orvo
