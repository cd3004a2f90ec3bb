#include "single_instance/object_security.h"

#include <sddl.h>

#include <optional>
#include <string>

namespace orvo {
namespace {

// Room for the token's user or level with its SID (at most 68 bytes).
union TokenRecord {
    TOKEN_USER user;
    TOKEN_MANDATORY_LABEL level;
    BYTE bytes[256];
};

bool ReadToken(HANDLE token, TOKEN_INFORMATION_CLASS kind, TokenRecord& record) {
    DWORD needed = 0;
    return GetTokenInformation(token, kind, &record, sizeof record, &needed) != FALSE;
}

bool AppendSidText(PSID sid, std::wstring& text) {
    wchar_t* sidText = nullptr;
    if (!ConvertSidToStringSidW(sid, &sidText)) return false;
    UniqueLocalMemory owned(sidText);
    text += sidText;
    return true;
}

// Full access for the token's user alone, nothing inherited from the namespace; the
// mandatory label at the process's own level keeps lower levels from reading,
// writing or using the objects. A token without a level (before Vista) gets no label.
std::optional<std::wstring> DescriptorText(bool withLabel) {
    HANDLE rawToken = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &rawToken)) return std::nullopt;
    UniqueKernelHandle token(rawToken);
    TokenRecord record;
    std::wstring text = L"D:P(A;;GA;;;";
    if (!ReadToken(token.get(), TokenUser, record) || !AppendSidText(record.user.User.Sid, text)) return std::nullopt;
    text += L")";
    std::wstring label = L"S:(ML;;NWNRNX;;;";
    if (withLabel && ReadToken(token.get(), TokenIntegrityLevel, record) && AppendSidText(record.level.Label.Sid, label))
        text += label + L")";
    return text;
}

}  // namespace

OwnerOnlySecurity::OwnerOnlySecurity(bool withLabel) {
    const std::optional<std::wstring> text = DescriptorText(withLabel);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!text || !ConvertStringSecurityDescriptorToSecurityDescriptorW(text->c_str(), SDDL_REVISION_1, &descriptor,
                                                                       nullptr)) {
        return;
    }
    descriptor_.reset(descriptor);
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = descriptor;
    attributes_.bInheritHandle = FALSE;
}

}  // namespace orvo
