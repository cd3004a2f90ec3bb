#include "hosting/class_data_archive.h"

#include "foundation/java_version.h"
#include "foundation/text_format.h"

namespace orvo {

namespace {

// The magic numbers in the files' (little-endian) byte order.
constexpr char kDynamicArchiveMagic[] = {'\xA8', '\xAB', '\x0B', '\xF0'};
constexpr char kStaticArchiveMagic[] = {'\xA2', '\xAB', '\x0B', '\xF0'};

bool StartsWithAny(std::wstring_view text, std::initializer_list<std::wstring_view> prefixes) {
    for (std::wstring_view prefix : prefixes) {
        if (text.starts_with(prefix)) return true;
    }
    return false;
}

// Options of the recording start that have no business in the assembly: logging (it
// would write the program's log files), agents and debugging, and every other way of
// naming a class-data file.
bool LeftOutOfAssembly(std::wstring_view option) {
    return StartsWithAny(option, {L"-Xlog", L"-verbose", L"-Xshare", L"-XX:SharedArchiveFile", L"-XX:AOT",
                                  L"-XX:+AOT", L"-XX:-AOT", L"-XX:+AutoCreateSharedArchive",
                                  L"-XX:ArchiveClassesAtExit", L"-agentlib", L"-agentpath", L"-javaagent",
                                  L"-Xrun", L"-Xdebug", L"-XX:StartFlightRecording", L"-XX:FlightRecorderOptions"});
}

void AppendQuoted(std::wstring& line, std::wstring_view argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring_view::npos) {
        line += argument;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote is escaped.
        line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    // ... and so are those before the closing quote.
    line.append(2 * backslashes, L'\\');
    line += L'"';
}

}  // namespace

std::optional<int> JavaFeatureRelease(std::wstring_view versionText) {
    JavaVersion::ParseResult result = JavaVersion::Parse(versionText, JavaVersion::kFillLow);
    if (!result.parsed) return std::nullopt;
    const auto& components = result.version.components;
    // Up to Java 8 the feature release is the second number: 1.8.0_292.
    int feature = components[0] == 1 ? components[1] : components[0];
    if (feature <= 0) return std::nullopt;
    return feature;
}

ClassDataCacheChoice ChooseClassDataCache(std::wstring_view runtimeVersion, bool hasBaseArchive) {
    std::optional<int> feature = JavaFeatureRelease(runtimeVersion);
    if (!feature) return {ClassDataCacheKind::kNone, L"the runtime's version is unknown"};
    if (*feature >= kFirstAotCacheJava) return {ClassDataCacheKind::kAotCache, {}};
    if (*feature < kFirstAutoArchiveJava) {
        return {ClassDataCacheKind::kNone, L"Java " + DecimalText(*feature) +
                                               L" cannot renew an archive by itself (Java 19 and later do)"};
    }
    if (!hasBaseArchive) {
        return {ClassDataCacheKind::kNone,
                L"the runtime has no base archive (bin\\server\\classes.jsa) for a dynamic archive to build on"};
    }
    return {ClassDataCacheKind::kDynamicArchive, {}};
}

bool VmParametersManageClassData(std::wstring_view vmParameters) {
    for (std::wstring_view word : {L"-Xshare", L"SharedArchiveFile", L"ArchiveClassesAtExit", L"-XX:AOT"}) {
        if (vmParameters.find(word) != std::wstring_view::npos) return true;
    }
    return false;
}

std::wstring_view ClassDataCacheExtension(ClassDataCacheKind kind) {
    switch (kind) {
        case ClassDataCacheKind::kDynamicArchive: return L".jsa";
        case ClassDataCacheKind::kAotCache: return L".aot";
        case ClassDataCacheKind::kNone: break;
    }
    return {};
}

std::wstring AotConfigurationPath(std::wstring_view cachePath) { return std::wstring(cachePath) + L".config"; }

std::vector<std::wstring> ClassDataCacheOptions(ClassDataCacheKind kind, std::wstring_view cachePath,
                                                bool cacheExists) {
    const std::wstring path(cachePath);
    switch (kind) {
        case ClassDataCacheKind::kDynamicArchive:
            return {L"-XX:+AutoCreateSharedArchive", L"-XX:SharedArchiveFile=" + path, L"-Xlog:cds*=off"};
        case ClassDataCacheKind::kAotCache:
            if (cacheExists) return {L"-XX:AOTCache=" + path, L"-Xlog:aot*=off", L"-Xlog:cds*=off"};
            return {L"-XX:AOTMode=record", L"-XX:AOTConfiguration=" + AotConfigurationPath(path), L"-Xlog:aot*=off",
                    L"-Xlog:cds*=off"};
        case ClassDataCacheKind::kNone: break;
    }
    return {};
}

bool LooksLikeClassDataCache(ClassDataCacheKind kind, std::string_view head) {
    switch (kind) {
        case ClassDataCacheKind::kDynamicArchive:
            return head.starts_with(std::string_view(kDynamicArchiveMagic, sizeof kDynamicArchiveMagic));
        case ClassDataCacheKind::kAotCache:
            return head.starts_with(std::string_view(kStaticArchiveMagic, sizeof kStaticArchiveMagic));
        case ClassDataCacheKind::kNone: break;
    }
    return false;
}

std::vector<std::wstring> AotAssemblyArguments(const std::vector<std::wstring>& vmOptions) {
    constexpr std::wstring_view kConfiguration = L"-XX:AOTConfiguration=";
    constexpr std::wstring_view kClassPath = L"-Djava.class.path=";
    std::wstring configuration;
    for (const std::wstring& option : vmOptions) {
        if (option.starts_with(kConfiguration)) configuration = option.substr(kConfiguration.size());
    }
    constexpr std::wstring_view kSuffix = L".config";
    if (!configuration.ends_with(kSuffix) || configuration.size() == kSuffix.size()) return {};
    std::vector<std::wstring> arguments;
    for (const std::wstring& option : vmOptions) {
        if (LeftOutOfAssembly(option)) continue;
        // java.exe puts a class path of its own (CLASSPATH, or ".") before the options.
        if (option.starts_with(kClassPath)) {
            arguments.push_back(L"-cp");
            arguments.push_back(option.substr(kClassPath.size()));
        } else {
            arguments.push_back(option);
        }
    }
    arguments.push_back(L"-XX:AOTMode=create");
    arguments.push_back(std::wstring(kConfiguration) + configuration);
    arguments.push_back(L"-XX:AOTCache=" + configuration.substr(0, configuration.size() - kSuffix.size()));
    return arguments;
}

std::wstring CommandLineOf(std::wstring_view program, const std::vector<std::wstring>& arguments) {
    std::wstring line;
    AppendQuoted(line, program);
    for (const std::wstring& argument : arguments) {
        line += L' ';
        AppendQuoted(line, argument);
    }
    return line;
}

}  // namespace orvo
