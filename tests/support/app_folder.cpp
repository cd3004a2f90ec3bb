#include "support/app_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "support/file_tree.h"
#include "support/harness_error.h"
#include "support/test_environment.h"
#include "support/wide_text.h"

namespace orvo::test {

std::string EncodeText(std::wstring_view text, TextEncoding encoding) {
    if (encoding == TextEncoding::kAnsi) return AnsiBytes(text);
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    return bytes;
}

std::wstring WithWindowsLineEnds(std::wstring_view text) {
    std::wstring result;
    result.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) result += L'\r';
        result += text[i];
    }
    return result;
}

AppFolder::AppFolder(std::wstring_view label) {
    path_ = FullPathOf(TestScratchFolder() + L"\\" + CurrentTestName());
    if (!label.empty()) path_ += L"-" + FileNameSafe(label);
    if (!RemoveFolderTree(path_)) throw HarnessError(L"cannot clear the leftover folder " + path_);
    CreateFolderTree(path_);
}

AppFolder::~AppFolder() {
    // A launcher that was just killed may hold its image open for a moment.
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (RemoveFolderTree(path_)) return;
        Sleep(100);
    }
    ADD_FAILURE() << "the test folder " << path_ << " could not be removed";
}

std::wstring AppFolder::PathOf(std::wstring_view relative) const { return path_ + L"\\" + std::wstring(relative); }

std::wstring AppFolder::CreateFolder(std::wstring_view relative) const {
    std::wstring folder = PathOf(relative);
    CreateFolderTree(folder);
    return folder;
}

std::wstring AppFolder::AddLauncher(std::wstring_view relative) const {
    return AddCopyOf(LauncherUnderTest(), relative);
}

std::wstring AppFolder::AddCopyOf(const std::wstring& source, std::wstring_view relative) const {
    std::wstring target = PathOf(relative);
    CopyFileTo(source, target);
    return target;
}

std::wstring AppFolder::WriteText(std::wstring_view relative, std::wstring_view text, TextEncoding encoding) const {
    return WriteBytes(relative, EncodeText(WithWindowsLineEnds(text), encoding));
}

std::wstring AppFolder::WriteBytes(std::wstring_view relative, std::string_view bytes) const {
    std::wstring target = PathOf(relative);
    WriteFileBytes(target, bytes);
    return target;
}

bool AppFolder::Exists(std::wstring_view relative) const { return PathExists(PathOf(relative)); }

std::optional<std::wstring> AppFolder::ReadText(std::wstring_view relative) const {
    std::optional<std::string> bytes = ReadFileBytes(PathOf(relative));
    if (!bytes) return std::nullopt;
    return DecodeText(*bytes);
}

}  // namespace orvo::test
