// The application packed into one executable by orvo-pack (this build's Windows
// tool): started on the real runtime with no INI beside it, its version and icon read
// back through the system's own APIs, and signed.
#include <windows.h>
#include <imagehlp.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "foundation/unique_handle.h"
#include "support/app_folder.h"
#include "support/console_tool.h"
#include "support/file_tree.h"
#include "support/host_command.h"
#include "support/java_runtime.h"
#include "support/launcher_run.h"
#include "support/screenshot.h"
#include "support/test_environment.h"
#include "support/wide_text.h"

namespace orvo::test {
namespace {

constexpr int kSamplePixelX = 8;  // a point of the icon's 32-pixel image that shows its colour
constexpr int kSamplePixelY = 8;

struct IconHandleTraits {
    using Pointer = HICON;
    static Pointer Invalid() noexcept { return nullptr; }
    static void Close(Pointer icon) noexcept { DestroyIcon(icon); }
};
using UniqueIcon = UniqueHandle<IconHandleTraits>;

std::wstring SampleIcon() { return RequiredEnvironment(L"ORVO_SAMPLE_ICON"); }

// The colour (0xRRGGBB) at the sample point of the 32-pixel image of an .ico file.
std::uint32_t IconFilePixel(const std::wstring& path) {
    const std::string ico = ReadFileBytes(path).value_or("");
    const auto u16 = [&](std::size_t at) { return static_cast<unsigned char>(ico.at(at)) | static_cast<unsigned char>(ico.at(at + 1)) << 8; };
    const auto u32 = [&](std::size_t at) { return static_cast<std::uint32_t>(u16(at) | u16(at + 2) << 16); };
    for (int i = 0; i < u16(4); ++i) {
        if (static_cast<unsigned char>(ico.at(6 + 16 * i)) != 32) continue;
        const std::size_t row = 31 - kSamplePixelY;  // bottom-up rows
        return u32(u32(6 + 16 * i + 12) + 40 + (row * 32 + kSamplePixelX) * 4) & 0xFFFFFF;
    }
    ADD_FAILURE() << "no 32-pixel image in " << Utf8(path);
    return 0;
}

// The colour at the sample point of an icon as the system draws it.
std::uint32_t IconPixel(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return 0;
    UniqueGdiObject color(info.hbmColor);
    UniqueGdiObject mask(info.hbmMask);
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), 32, -32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<std::uint32_t> pixels(32 * 32);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, static_cast<HBITMAP>(color.get()), 0, 32, pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return rows == 32 ? pixels[kSamplePixelY * 32 + kSamplePixelX] & 0xFFFFFF : 0;
}

// The file's large icon as the shell extracts it; none when it has no icon.
UniqueIcon ExtractedIcon(const std::wstring& file) {
    HICON large = nullptr;
    ExtractIconExW(file.c_str(), 0, &large, nullptr, 1);
    return UniqueIcon(large);
}

std::uint32_t ExtractedIconPixel(const std::wstring& file) {
    const UniqueIcon icon = ExtractedIcon(file);
    if (!icon) {
        ADD_FAILURE() << "no icon in " << Utf8(file);
        return 0;
    }
    return IconPixel(icon.get());
}

BOOL CALLBACK KeepFirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
    *reinterpret_cast<LPWSTR*>(found) = name;
    return FALSE;
}

// How many images the executable's first icon group lists, as the resource API reads it.
int IconGroupSize(const std::wstring& file) {
    UniqueModule module(LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!module) return -1;
    LPWSTR first = nullptr;
    EnumResourceNamesW(module.get(), RT_GROUP_ICON, &KeepFirstName, reinterpret_cast<LONG_PTR>(&first));
    HRSRC group = first ? FindResourceW(module.get(), first, RT_GROUP_ICON) : nullptr;
    HGLOBAL loaded = group ? LoadResource(module.get(), group) : nullptr;
    const auto* directory = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    return directory ? directory[2] : -1;
}

struct FileVersion {
    std::vector<WORD> number;  // file version, four parts
    std::wstring Text(const wchar_t* name) const { return texts.count(name) ? texts.at(name) : L"(none)"; }
    std::map<std::wstring, std::wstring> texts;
};

// The version resource as Explorer reads it: the table the translation names.
FileVersion ReadFileVersion(const std::wstring& file) {
    FileVersion version;
    DWORD ignored = 0;
    std::vector<BYTE> data(GetFileVersionInfoSizeW(file.c_str(), &ignored));
    if (data.empty() || !GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(data.size()), data.data())) return version;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &size) && fixed) {
        version.number = {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                          HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
    }
    WORD* translation = nullptr;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &size)) return version;
    wchar_t table[64];
    std::swprintf(table, 64, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
    for (const wchar_t* name : {L"ProductName", L"CompanyName", L"FileDescription", L"FileVersion", L"LegalCopyright",
                                L"OriginalFilename"}) {
        wchar_t* text = nullptr;
        if (VerQueryValueW(data.data(), (table + std::wstring(name)).c_str(), reinterpret_cast<void**>(&text), &size) && text) {
            version.texts[name] = text;
        }
    }
    return version;
}

// The application folder: App64.exe (and, in the 32-bit run, App.exe, which hands the
// 64-bit runtime over to it), each packed from this build's launcher with the sample
// icon, a version, the probe's jar and a configuration naming the real runtime.
class PackedApplicationTest : public testing::Test {
protected:
    std::wstring App64() const { return folder.PathOf(L"App64.exe"); }
    std::wstring App32() const { return folder.PathOf(L"App.exe"); }
    std::wstring UnderTest() const { return TestingLauncher64() ? App64() : App32(); }
    std::vector<std::wstring> PackedFiles() const {
        return TestingLauncher64() ? std::vector{App64()} : std::vector{App32(), App64()};
    }

    void PackApplication(const std::wstring& extraApplicationLines = {}) {
        folder.CreateFolder(L"input");
        const std::wstring config = folder.WriteText(
            L"input\\packed.ini",
            L"[Product Information]\nProduct Name=My App\nProduct Code=" + CurrentTestName() + L"\n"
            L"[Application]\nPair Product=" + App64() + L"\nPair Return Code=Yes\n" + extraApplicationLines +
            L"[Java Runtime Environment]\nMain Class=orvo.test.Probe\nJRE Path=" + RealRuntimeHome() + L"\n");
        Pack(Launcher64(), App64(), config);
        if (!TestingLauncher64()) Pack(Launcher32(), App32(), config);
    }

    void Pack(const std::wstring& launcher, const std::wstring& out, const std::wstring& config) const {
        const ToolRun run = RunConsoleTool(RequiredEnvironment(L"ORVO_PACK_TOOL"), {
            L"--launcher", launcher, L"--out", out, L"--icon", SampleIcon(), L"--version", L"1.4.2.0",
            L"--product-name", L"My App", L"--company", L"Example Ltd", L"--description", L"My App",
            L"--copyright", L"(c) 2026 Example Ltd", L"--config", config, L"--jar", ProbeJar()});
        ASSERT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(run.output, "");
    }

    // Signs each packed file with a certificate of its own making, in place.
    void SignPackedFiles();

    // `errorFile`: where its standard error goes; empty: nowhere.
    LauncherRun Run(const std::vector<std::wstring>& arguments, const std::wstring& errorFile = {}) const {
        RunOptions options;
        options.stdErrorFile = errorFile;
        options.timeoutMs = kRealRuntimeTimeoutMs;
        options.workingDirectory = folder.path();
        options.environment = {{L"ORVO_PROBE_RESULTS", Results()}, {L"JAVA_HOME", std::nullopt}};
        DeleteFileW(Results().c_str());
        return RunLauncher(UnderTest(), arguments, options);
    }
    std::wstring Results() const { return folder.PathOf(L"results.txt"); }

    // The probe ran from the executable itself: it heads the class path and holds the classes.
    void ExpectRanFromItsOwnJar(const LauncherRun& run) const {
        EXPECT_EQ(run.exitCode, 0);
        const ProbeResults results = ProbeResults::Read(Results());
        ExpectHostedByApp64(run, results);
        EXPECT_EQ(results.Value(L"prop.java.class.path"), App64() + L";") << results.Text();
        EXPECT_EQ(results.Value(L"code-source"), App64()) << results.Text();
    }

    AppFolder folder;
};

TEST_F(PackedApplicationTest, RunsFromOneFileWithItsOwnNameAndIcon) {
    PackApplication();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_FALSE(folder.Exists(L"App.ini") || folder.Exists(L"App64.ini"));
    ExpectRanFromItsOwnJar(Run({L"print-prop", L"java.class.path", L"code-source"}));

    const FileVersion version = ReadFileVersion(UnderTest());
    EXPECT_EQ(version.number, (std::vector<WORD>{1, 4, 2, 0}));
    EXPECT_EQ(version.Text(L"ProductName"), L"My App");
    EXPECT_EQ(version.Text(L"CompanyName"), L"Example Ltd");
    EXPECT_EQ(version.Text(L"FileDescription"), L"My App");
    EXPECT_EQ(version.Text(L"FileVersion"), L"1.4.2.0");
    EXPECT_EQ(version.Text(L"LegalCopyright"), L"(c) 2026 Example Ltd");
    EXPECT_EQ(version.Text(L"OriginalFilename"), TestingLauncher64() ? L"App64.exe" : L"App.exe");

    EXPECT_EQ(IconGroupSize(UnderTest()), 4);  // 16, 32, 48 and 256 pixels
    EXPECT_EQ(ExtractedIconPixel(UnderTest()), IconFilePixel(SampleIcon()));
    EXPECT_NE(ExtractedIconPixel(LauncherUnderTest()), IconFilePixel(SampleIcon()));

    for (const std::wstring& file : PackedFiles()) {
        DWORD stored = 0;
        DWORD computed = 0;
        ASSERT_EQ(MapFileAndCheckSumW(file.c_str(), &stored, &computed), CHECKSUM_SUCCESS);
        EXPECT_EQ(stored, computed) << Utf8(file);
    }
}

// The file beside the executable wins key by key over what the executable carries.
TEST_F(PackedApplicationTest, AnIniBesideItOverridesWhatItCarries) {
    PackApplication(L"Cmd=code-source\n");
    ASSERT_FALSE(HasFatalFailure());
    for (const wchar_t* ini : {L"App.ini", L"App64.ini"}) folder.WriteText(ini, L"[Application]\nCmd=print-prop java.version\n");
    Run({});
    const ProbeResults results = ProbeResults::Read(Results());
    EXPECT_TRUE(results.Has(L"prop.java.version")) << results.Text();
    EXPECT_FALSE(results.Has(L"code-source")) << results.Text();
}

TEST_F(PackedApplicationTest, StillRunsItsJarWhenSigned) {
    PackApplication();
    ASSERT_FALSE(HasFatalFailure());
    SignPackedFiles();
    ASSERT_FALSE(HasFatalFailure());
    ExpectRanFromItsOwnJar(Run({L"print-prop", L"java.class.path", L"code-source"}));
}

// Turned into its console kind after packing: the caller gets the program's streams
// and exit code, and an exception is a stack trace on standard error, not a dialog
// (Failure Check is on); signed afterwards, it does the same.
TEST_F(PackedApplicationTest, TurnedIntoAConsoleProgramRunsInTheConsoleSignedToo) {
    PackApplication(L"Failure Check=Yes\n");
    ASSERT_FALSE(HasFatalFailure());
    for (const std::wstring& file : PackedFiles()) {
        const ToolRun run = RunConsoleTool(RequiredEnvironment(L"ORVO_PACK_TOOL"),
                                           {L"--launcher", file, L"--out", file, L"--console"});
        ASSERT_EQ(run.exitCode, 0) << run.output;
    }
    for (bool signedFiles : {false, true}) {
        SCOPED_TRACE(signedFiles ? "signed" : "not signed");
        if (signedFiles) SignPackedFiles();
        ASSERT_FALSE(HasFatalFailure());
        const std::wstring errors = folder.PathOf(signedFiles ? L"signed-err.txt" : L"err.txt");
        LauncherRun run = Run({L"code-source", L"stdout", L"to the caller", L"throw", L"boom"}, errors);
        EXPECT_EQ(run.exitCode, 1) << DescribeProcesses(run);
        EXPECT_EQ(ReadFileBytes(errors).value_or("").rfind("Exception in thread \"main\" java.lang.IllegalStateException: boom", 0), 0u)
            << ReadFileBytes(errors).value_or("(no file)");
        EXPECT_EQ(ProbeResults::Read(Results()).Value(L"code-source"), App64());
    }
}

void PackedApplicationTest::SignPackedFiles() {
    ASSERT_TRUE(RunningUnderWine()) << "signing uses the host's osslsigncode, reached through wine";
    const std::wstring log = folder.PathOf(L"signing.log");
    const auto q = [](const std::wstring& path) { return "'" + HostPath(path) + "'"; };
    const std::string key = q(folder.PathOf(L"key.pem"));
    const std::string certificate = q(folder.PathOf(L"certificate.pem"));
    ASSERT_EQ(RunHostCommand("/usr/bin/openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=Orvo test signer'"
                             " -keyout " + key + " -out " + certificate, log), 0)
        << ReadFileBytes(log).value_or("");
    for (const std::wstring& file : PackedFiles()) {
        const std::string signedFile = q(file + L".signed");
        ASSERT_EQ(RunHostCommand("/usr/bin/osslsigncode sign -certs " + certificate + " -key " + key +
                                 " -n 'My App' -in " + q(file) + " -out " + signedFile + " && mv " + signedFile + " " + q(file) +
                                 " && /usr/bin/osslsigncode verify -CAfile " + certificate + " -in " + q(file), log), 0)
            << ReadFileBytes(log).value_or("");
        UniqueFileHandle handle(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        DWORD certificates = 0;
        ASSERT_TRUE(ImageEnumerateCertificates(handle.get(), CERT_SECTION_TYPE_ANY, &certificates, nullptr, 0));
        EXPECT_EQ(certificates, 1u) << Utf8(file);
    }
}

LRESULT CALLBACK IconWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const auto* files = reinterpret_cast<const std::vector<std::wstring>*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    for (std::size_t i = 0; files && i < files->size(); ++i) {
        const int x = 20 + 160 * static_cast<int>(i);
        DrawIconEx(dc, x + 40, 20, ExtractedIcon((*files)[i]).get(), 0, 0, 0, nullptr, DI_NORMAL);
        const std::wstring name = (*files)[i].substr((*files)[i].rfind(L'\\') + 1);
        TextOutW(dc, x, 64, name.c_str(), static_cast<int>(name.size()));
    }
    EndPaint(window, &paint);
    return 0;
}

// The packed executable's icon as a window shows it, beside the plain launcher's:
// the window carries the packed one in its caption, and draws both as files' icons.
TEST_F(PackedApplicationTest, ShowsItsIconInAWindow) {
    PackApplication();
    ASSERT_FALSE(HasFatalFailure());
    const std::vector<std::wstring> files{LauncherUnderTest(), UnderTest()};
    const UniqueIcon captionIcon = ExtractedIcon(UnderTest());
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = IconWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hIcon = captionIcon.get();
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = L"OrvoPackedIcons";
    ASSERT_NE(RegisterClassW(&windowClass), 0);
    HWND window = CreateWindowW(L"OrvoPackedIcons", L"My App", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                                100, 100, 360, 140, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&files));
    InvalidateRect(window, nullptr, TRUE);
    for (ULONGLONG until = GetTickCount64() + 1000; GetTickCount64() < until; Sleep(20)) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    SaveWindowScreenshot(window, L"icons");
    POINT packedIcon{20 + 160 + 40 + kSamplePixelX, 20 + kSamplePixelY};
    ClientToScreen(window, &packedIcon);
    const ScreenImage seen = CaptureScreenArea({packedIcon.x, packedIcon.y, packedIcon.x + 1, packedIcon.y + 1});
    EXPECT_EQ(seen.At(0, 0), IconFilePixel(SampleIcon()));
    DestroyWindow(window);
    UnregisterClassW(L"OrvoPackedIcons", windowClass.hInstance);
}

}  // namespace
}  // namespace orvo::test
