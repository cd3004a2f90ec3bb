#pragma once
// A throw-away application folder for one test: a fresh, empty folder under
// ORVO_TEST_TMP named after the running test, into which the test copies the
// launcher under the file name it needs and writes the INI and other files.
// The folder and everything in it is removed when the AppFolder ends.
#include <optional>
#include <string>
#include <string_view>

namespace orvo::test {

enum class TextEncoding {
    kAnsi,      // the ANSI code page, no byte-order mark
    kUtf16Bom,  // UTF-16LE after the mark FF FE (the profile API reads it as Unicode)
};

// The text as the bytes of a file in that encoding.
std::string EncodeText(std::wstring_view text, TextEncoding encoding);

class AppFolder {
public:
    // Creates "<ORVO_TEST_TMP>\<Suite-Test>[-<label>]", removing any leftover of an
    // earlier run first. Throws HarnessError when it cannot.
    explicit AppFolder(std::wstring_view label = {});
    // Removes the folder; a folder that cannot be removed fails the running test.
    ~AppFolder();
    AppFolder(const AppFolder&) = delete;
    AppFolder& operator=(const AppFolder&) = delete;

    // The folder, in plain form (no "\\?\" prefix, no trailing backslash).
    const std::wstring& path() const noexcept { return path_; }
    // path() + "\" + relative.
    std::wstring PathOf(std::wstring_view relative) const;

    // Creates a sub-folder (and the folders above it); returns its path.
    std::wstring CreateFolder(std::wstring_view relative) const;
    // Copies ORVO_LAUNCHER to the relative path; returns the copy's path.
    std::wstring AddLauncher(std::wstring_view relative) const;
    // Copies any file in; returns the copy's path.
    std::wstring AddCopyOf(const std::wstring& source, std::wstring_view relative) const;
    // Writes text with every lone "\n" turned into "\r\n"; returns the file's path.
    std::wstring WriteText(std::wstring_view relative, std::wstring_view text,
                           TextEncoding encoding = TextEncoding::kAnsi) const;
    // Writes exactly these bytes; returns the file's path.
    std::wstring WriteBytes(std::wstring_view relative, std::string_view bytes) const;

    bool Exists(std::wstring_view relative) const;
    // The file's text (decoded by its byte-order mark), or nullopt when it is missing.
    std::optional<std::wstring> ReadText(std::wstring_view relative) const;

private:
    std::wstring path_;
};

// The text with every "\n" not preceded by "\r" turned into "\r\n".
std::wstring WithWindowsLineEnds(std::wstring_view text);

}  // namespace orvo::test
