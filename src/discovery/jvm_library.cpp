#include "discovery/jvm_library.h"

#include <span>

#include "foundation/paths.h"

namespace orvo {
namespace {

struct LibraryFlavour {
    const wchar_t* relativePath;
    bool server;
};

constexpr LibraryFlavour kServer{L"bin\\server\\jvm.dll", true};
constexpr LibraryFlavour kClient{L"bin\\client\\jvm.dll", false};
constexpr LibraryFlavour kClassic{L"bin\\classic\\jvm.dll", false};
constexpr LibraryFlavour kHotspot{L"bin\\hotspot\\jvm.dll", false};
constexpr LibraryFlavour kJrockit{L"bin\\jrockit\\jvm.dll", false};

constexpr LibraryFlavour kServerOnlyOrder[] = {kServer};
// Trying server first and then the whole Any order tries server twice; the
// second try can only fail again, so it is left out.
constexpr LibraryFlavour kFavorServerOrder[] = {kServer, kClient, kClassic, kHotspot, kJrockit};
constexpr LibraryFlavour kAnyOrder[] = {kClient, kClassic, kHotspot, kServer, kJrockit};

std::span<const LibraryFlavour> OrderFor(JvmType type) {
    switch (type) {
        case JvmType::ServerOnly:
            return kServerOnlyOrder;
        case JvmType::FavorServer:
            return kFavorServerOrder;
        case JvmType::Any:
            break;
    }
    return kAnyOrder;
}

}  // namespace

std::wstring LocateJvmLibrary(const std::wstring& home, JvmType type, bool& isServer) {
    for (const LibraryFlavour& flavour : OrderFor(type)) {
        std::wstring path = home + flavour.relativePath;
        if (FileExists(path)) {
            isServer = flavour.server;
            return path;
        }
    }
    return {};
}

bool HasJavaDll(const std::wstring& folder) { return FileExists(folder + L"bin\\java.dll"); }

}  // namespace orvo
