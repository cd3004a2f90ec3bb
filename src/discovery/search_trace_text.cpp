#include "discovery/search_trace_text.h"
#include "foundation/text_format.h"

namespace orvo {

namespace {

// The components up to the last one that differs from `fill`, so that a bound reads
// as it was written: 1.8 for the minimum 1.8.0.0 and for the maximum 1.8.65535.65535.
std::wstring BoundText(const JavaVersion& bound, std::int32_t fill) {
    std::size_t count = bound.components.size();
    while (count > 1 && bound.components[count - 1] == fill) --count;
    std::wstring text = DecimalText(bound.components[0]);
    for (std::size_t i = 1; i < count; ++i) text += L"." + DecimalText(bound.components[i]);
    return text;
}

}  // namespace

std::wstring DescribeVersionRange(const VersionRange& range) {
    // Both open bounds read "any": a zero maximum is no bound, as "any" is.
    std::wstring minimum =
        JavaVersion::IsUnset(range.minimum) ? L"any" : BoundText(range.minimum, JavaVersion::kFillLow);
    std::wstring maximum =
        JavaVersion::IsUnset(range.maximum) ? L"any" : BoundText(range.maximum, JavaVersion::kFillHigh);
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
