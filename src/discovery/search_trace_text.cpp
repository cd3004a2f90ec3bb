#include "discovery/search_trace_text.h"

namespace orvo {

std::wstring DescribeVersionRange(const VersionRange& range) {
    std::wstring minimum = JavaVersion::IsUnset(range.minimum) ? L"any" : JavaVersion::Format(range.minimum);
    // A zero maximum is no bound; a maximum of all 65535 is "any" as written.
    std::wstring maximum = JavaVersion::IsUnset(range.maximum) ? L"any" : JavaVersion::Format(range.maximum);
    return L"the range " + minimum + L" to " + maximum;
}

std::wstring DescribeJvmType(JvmType type) {
    switch (type) {
        case JvmType::ServerOnly:
            return L"JVM Type server";
        case JvmType::FavorServer:
            return L"JVM Type favor_server";
        case JvmType::Any:
            break;
    }
    return L"any JVM Type";
}

}  // namespace orvo
