// orvo-pack's entry point: arguments in, exit status out.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "pack_run.h"
#include "utf8.h"

namespace {

void Print(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

int Run(const std::vector<std::string>& arguments) {
    const orvo::pack::PackConsole console{[](std::string_view text) { Print(stdout, text); },
                                          [](std::string_view text) { Print(stderr, text); }};
    return orvo::pack::RunOrvoPack(arguments, console);
}

}  // namespace

#ifdef _WIN32
// Windows hands the arguments over in UTF-16; everything inside is UTF-8.
int wmain(int argc, wchar_t** argv) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    std::vector<std::string> arguments;
    try {
        for (int i = 1; i < argc; ++i) arguments.push_back(orvo::pack::Utf8FromUtf16(reinterpret_cast<const char16_t*>(argv[i])));
    } catch (const std::exception& error) {
        Print(stderr, std::string("orvo-pack: an argument is not valid text: ") + error.what() + "\n");
        return 2;
    }
    return Run(arguments);
}
#else
int main(int argc, char** argv) { return Run(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
