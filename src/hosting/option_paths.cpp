#include "hosting/option_paths.h"

namespace orvo {

namespace {

enum class PathShape {
    kList,              // paths separated by ";"
    kFileThenOptions,   // one path, then "=" and the agent's own options
    kFile,              // one path, the whole value
};

struct PathValue {
    std::size_t start;
    PathShape shape;
};

struct PathOption {
    std::wstring_view prefix;
    PathShape shape;
};

constexpr PathOption kPathOptions[] = {
    {L"--module-path=", PathShape::kList},      {L"--upgrade-module-path=", PathShape::kList},
    {L"-Xbootclasspath/a:", PathShape::kList},  {L"-javaagent:", PathShape::kFileThenOptions},
    {L"-agentpath:", PathShape::kFileThenOptions}, {L"-XX:ErrorFile=", PathShape::kFile},
    {L"-XX:HeapDumpPath=", PathShape::kFile},   {L"-Xloggc:", PathShape::kFile},
    {L"-XX:SharedArchiveFile=", PathShape::kFile}, {L"-XX:AOTCache=", PathShape::kFile},
    {L"-XX:AOTCacheOutput=", PathShape::kFile}, {L"-XX:AOTConfiguration=", PathShape::kFile},
};

constexpr std::wstring_view kPatchModule = L"--patch-module=";

std::optional<PathValue> FindPathValue(std::wstring_view option) {
    for (const PathOption& known : kPathOptions) {
        if (option.starts_with(known.prefix)) return PathValue{known.prefix.size(), known.shape};
    }
    // "--patch-module=<module>=<paths>" and "-D<name>=<value>": the value follows the
    // "=" after the name.
    std::size_t nameStart = option.starts_with(kPatchModule) ? kPatchModule.size()
                            : option.starts_with(L"-D")       ? 2
                                                              : std::wstring_view::npos;
    if (nameStart == std::wstring_view::npos) return std::nullopt;
    std::size_t equals = option.find(L'=', nameStart);
    if (equals == std::wstring_view::npos) return std::nullopt;
    return PathValue{equals + 1, PathShape::kList};
}

class PathRepresenter {
public:
    PathRepresenter(const OptionPathServices& services, std::wstring& failedPath)
        : services_(services), failedPath_(failedPath) {}

    std::wstring Represent(const std::wstring& path) const {
        if (path.empty() || services_.representable(path)) return path;
        if (std::optional<std::wstring> shortPath = services_.shortForm(path)) return Checked(path, *shortPath);
        // Not there (yet): a file the VM is to create, in a folder that is.
        std::size_t cut = path.find_last_of(L"\\/");
        if (cut == std::wstring::npos) return path;
        std::optional<std::wstring> folder = services_.shortForm(path.substr(0, cut));
        if (!folder) return path;  // names nothing: not a path at all
        return Checked(path, *folder + path.substr(cut));
    }

    std::wstring RepresentList(std::wstring_view list) const {
        std::wstring result;
        std::size_t start = 0;
        for (;;) {
            std::size_t end = list.find(L';', start);
            result += Represent(std::wstring(list.substr(start, end - start)));
            if (end == std::wstring_view::npos) return result;
            result += L';';
            start = end + 1;
        }
    }

private:
    std::wstring Checked(const std::wstring& path, const std::wstring& candidate) const {
        if (services_.representable(candidate)) return candidate;
        bool mayStay = services_.mayStayDamaged && services_.mayStayDamaged(path);
        if (!mayStay && failedPath_.empty()) failedPath_ = path;
        return path;
    }

    const OptionPathServices& services_;
    std::wstring& failedPath_;
};

std::wstring RepresentValue(std::wstring_view value, PathShape shape, const PathRepresenter& representer) {
    switch (shape) {
        case PathShape::kList:
            return representer.RepresentList(value);
        case PathShape::kFileThenOptions: {
            std::size_t equals = value.find(L'=');
            std::wstring path(value.substr(0, equals));
            std::wstring rest(equals == std::wstring_view::npos ? std::wstring_view() : value.substr(equals));
            return representer.Represent(path) + rest;
        }
        case PathShape::kFile:
            break;
    }
    return representer.Represent(std::wstring(value));
}

}  // namespace

RepresentedOption RepresentOptionPaths(std::wstring_view option, const OptionPathServices& services) {
    RepresentedOption result{std::wstring(option), {}};
    if (services.representable(option)) return result;
    std::optional<PathValue> value = FindPathValue(option);
    if (!value) return result;
    PathRepresenter representer(services, result.unrepresentablePath);
    result.option = std::wstring(option.substr(0, value->start)) +
                    RepresentValue(option.substr(value->start), value->shape, representer);
    return result;
}

}  // namespace orvo
