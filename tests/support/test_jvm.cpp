#include "support/test_jvm.h"

#include <windows.h>

#include <cstdlib>

#include "support/file_tree.h"
#include "support/harness_error.h"
#include "support/test_environment.h"
#include "support/wide_text.h"
#include "testjvm/log_format.h"

namespace orvo::test {

namespace {

std::wstring LibraryFileName(TestJvmVariant variant) {
    switch (variant) {
    case TestJvmVariant::kNoFindClassFromBootLoader: return L"jvm_no_findclassfromboot.dll";
    case TestJvmVariant::kNoCreateJavaVM: return L"jvm_no_createjavavm.dll";
    case TestJvmVariant::kNoDefaultInitArgs: return L"jvm_no_defaultinitargs.dll";
    case TestJvmVariant::kNeedsBinDll: return L"jvm_needs_bin_dll.dll";
    default: return L"jvm.dll";
    }
}

std::wstring AnsiText(std::string_view bytes) {
    if (bytes.empty()) return {};
    int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
    return text;
}

std::string Escaped(const std::string& utf8) {
    std::string escaped;
    for (char c : utf8) {
        if (c == '\\') escaped += "\\\\";
        else if (c == '\n') escaped += "\\n";
        else if (c == '\r') escaped += "\\r";
        else if (c == '\t') escaped += "\\t";
        else escaped += c;
    }
    return escaped;
}

TestJvmEvent ParseLine(std::string_view line) {
    TestJvmEvent event;
    std::size_t end = line.find(' ');
    event.name = line.substr(0, end);
    while (end != std::string_view::npos) {
        line.remove_prefix(end + 1);
        end = line.find(' ');
        std::string_view token = line.substr(0, end);
        std::size_t equals = token.find('=');
        if (equals == std::string_view::npos) continue;
        event.fields[std::string(token.substr(0, equals))] = testjvm::PercentDecode(token.substr(equals + 1));
    }
    return event;
}

TestJvmJavaCall JavaCall(const TestJvmEvent& event) {
    TestJvmJavaCall call;
    call.className = event.Bytes("class");
    call.signature = event.Bytes("sig");
    call.threadId = static_cast<unsigned long>(event.Number("thread"));
    call.threadName = event.Bytes("thread_name");
    long long count = event.Number("argc");
    call.nullArray = count < 0;
    for (long long i = 0; i < count; ++i) call.arguments.push_back(event.Java("arg" + std::to_string(i)));
    return call;
}

void AddCreationEvent(TestJvmLog& log, const TestJvmEvent& event) {
    if (event.name == "create") {
        TestJvmCreation creation;
        creation.version = static_cast<unsigned long>(event.Number("version"));
        creation.nOptions = static_cast<long>(event.Number("nOptions"));
        creation.ignoreUnrecognized = event.Number("ignoreUnrecognized") != 0;
        creation.threadId = static_cast<unsigned long>(event.Number("thread"));
        creation.stackReserve = static_cast<unsigned long long>(event.Number("stack_reserve"));
        log.creations.push_back(creation);
    } else if (event.name == "option" && !log.creations.empty()) {
        std::string bytes = event.Bytes("text");
        log.creations.back().options.push_back({bytes, AnsiText(bytes), event.Number("extra") != 0});
    } else if (event.name == "environment" && !log.creations.empty()) {
        log.creations.back().currentDirectory = event.Java("cwd");
        log.creations.back().showState = static_cast<int>(event.Number("show"));
        for (const auto& [key, value] : event.fields)
            if (key.rfind("env.", 0) == 0 && key.size() > 8 && key.compare(key.size() - 4, 4, "_u16") == 0)
                log.creations.back().environment[key.substr(4, key.size() - 8)] = event.Java(key.substr(0, key.size() - 4));
    } else if (event.name == "create-result" && !log.creations.empty()) {
        log.creations.back().result = static_cast<long>(event.Number("result"));
    } else if (event.name == "defaultinitargs") {
        log.defaultArgsVersion = static_cast<unsigned long>(event.Number("version"));
        log.defaultArgsZeroed = event.Number("zeroed") != 0;
    }
}

void AddLookupEvent(TestJvmLog& log, const TestJvmEvent& event) {
    if (event.name == "findclass") {
        log.findClassNames.push_back(event.Bytes("name"));
    } else if (event.name == "findclassfrombootloader") {
        log.bootLoaderNames.push_back(event.Bytes("name"));
    } else if (event.name == "checkandloadmain") {
        log.checkAndLoadMainNames.push_back(event.Java("what"));
    } else if (event.name == "getmethodid" || event.name == "getstaticmethodid") {
        log.methodLookups.push_back({event.Bytes("class"), event.Bytes("name"), event.Bytes("sig"),
                                     event.name == "getstaticmethodid", event.Number("found") != 0});
    }
}

void AddRunEvent(TestJvmLog& log, const TestJvmEvent& event) {
    const std::string& name = event.name;
    if (name == "main") log.mainCalls.push_back(JavaCall(event));
    if (name == "secondarymain") log.secondaryMainCalls.push_back(JavaCall(event));
    if (name == "setout" || name == "seterr")
        log.streamTargets.push_back({name.substr(3), event.Bytes("target"), event.Java("path"), event.Number("append") != 0});
    if (name == "exception-describe" && !event.Bytes("class").empty()) log.describedExceptions.push_back(event.Bytes("class"));
    if (name == "uncaught") log.uncaughtExceptions.push_back(event.Bytes("class"));
    if (name == "exit") log.exitCode = static_cast<long>(event.Number("code"));
    if (name == "exit-hook-returned") log.exitHookCalled = true;
    if (name == "attach" && event.Number("result") == 0)
        log.attachedThreads.push_back(static_cast<unsigned long>(event.Number("thread")));
    if (name == "detach") log.detachedThreads.push_back(static_cast<unsigned long>(event.Number("thread")));
    if (name == "destroy") ++log.destroyCalls;
    if (name == "destroy-end") ++log.destroyEnds;
    if (name == "trap") log.problems.push_back("unimplemented " + event.Bytes("table") + " slot " + event.Bytes("slot"));
    if (name == "misuse") log.problems.push_back("misuse: " + event.Bytes("text"));
}

}  // namespace

std::wstring TestJvmLibrary(TestJvmVariant variant, TestJvmArch arch) {
    std::wstring folder =
        RequiredEnvironment(arch == TestJvmArch::kSame ? L"ORVO_TEST_JVM_DIR" : L"ORVO_PAIR_TEST_JVM_DIR");
    return folder + L"\\" + LibraryFileName(variant);
}

std::wstring TestJvmProbe() { return RequiredEnvironment(L"ORVO_TEST_JVM_DIR") + L"\\testjvm_probe.exe"; }

TestJvmIni& TestJvmIni::Set(std::string key, std::wstring value) {
    for (auto& setting : settings_)
        if (setting.first == key) return setting.second = std::move(value), *this;
    settings_.emplace_back(std::move(key), std::move(value));
    return *this;
}

std::string TestJvmIni::Bytes() const {
    std::string bytes;
    for (const auto& [key, value] : settings_) bytes += key + "=" + Escaped(Utf8(value)) + "\n";
    return bytes;
}

std::string TestJvmEvent::Bytes(const std::string& key) const {
    auto found = fields.find(key);
    return found == fields.end() ? std::string() : found->second;
}

long long TestJvmEvent::Number(const std::string& key) const {
    return std::strtoll(Bytes(key).c_str(), nullptr, 0);
}

std::wstring TestJvmEvent::Java(const std::string& key) const {
    std::u16string units = testjvm::Utf16FromHex(Bytes(key + "_u16"));
    return std::wstring(units.begin(), units.end());
}

std::vector<const TestJvmEvent*> TestJvmLog::EventsNamed(std::string_view name) const {
    std::vector<const TestJvmEvent*> named;
    for (const TestJvmEvent& event : events)
        if (event.name == name) named.push_back(&event);
    return named;
}

TestJvmLog ParseTestJvmLog(std::string_view text) {
    TestJvmLog log;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.empty()) continue;
        log.events.push_back(ParseLine(line));
        AddCreationEvent(log, log.events.back());
        AddLookupEvent(log, log.events.back());
        AddRunEvent(log, log.events.back());
    }
    return log;
}

TestJvmRuntime::TestJvmRuntime(std::wstring home, const TestJvmIni& ini, TestJvmFlavor flavor, TestJvmVariant variant,
                               TestJvmArch arch)
    : home_(std::move(home)) {
    std::wstring libraryFolder = binFolder() + (flavor == TestJvmFlavor::kServer ? L"\\server" : L"\\client");
    CreateFolderTree(libraryFolder);
    WriteFileBytes(binFolder() + L"\\java.dll", "");
    jvmPath_ = libraryFolder + L"\\jvm.dll";
    CopyFileTo(TestJvmLibrary(variant, arch), jvmPath_);
    if (variant == TestJvmVariant::kNeedsBinDll) {
        std::wstring library = TestJvmLibrary(variant, arch);
        std::wstring dependency = library.substr(0, library.rfind(L'\\')) + L"\\testjvm_bin_dependency.dll";
        CopyFileTo(dependency, binFolder() + L"\\testjvm_bin_dependency.dll");
    }
    WriteIni(ini);
}

std::wstring TestJvmRuntime::logPath() const { return jvmPath_.substr(0, jvmPath_.rfind(L'\\')) + L"\\testjvm.log"; }

void TestJvmRuntime::WriteIni(const TestJvmIni& ini) const {
    WriteFileBytes(jvmPath_.substr(0, jvmPath_.rfind(L'\\')) + L"\\testjvm.ini", ini.Bytes());
}

TestJvmLog TestJvmRuntime::ReadLog() const {
    std::optional<std::string> bytes = ReadFileBytes(logPath());
    return ParseTestJvmLog(bytes ? *bytes : std::string());
}

}  // namespace orvo::test
