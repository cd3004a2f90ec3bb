#include "foundation/text_format.h"

#include <string>

namespace orvo {

std::wstring FillTemplate(std::wstring_view templ, std::initializer_list<std::wstring_view> texts,
                          long long number) {
    std::wstring out;
    out.reserve(templ.size() + 64);
    auto nextText = texts.begin();
    for (std::size_t i = 0; i < templ.size(); ++i) {
        wchar_t c = templ[i];
        if (c != L'%' || i + 1 == templ.size()) {
            out += c;
            continue;
        }
        wchar_t conversion = templ[i + 1];
        if (conversion == L's') {
            if (nextText != texts.end()) out += *nextText++;
        } else if (conversion == L'd') {
            out += DecimalText(number);
        } else if (conversion == L'%') {
            out += L'%';
        } else {
            out += c;
            continue;
        }
        ++i;
    }
    return out;
}

std::wstring UnsignedDecimalText(std::uint64_t number) {
    wchar_t digits[20];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<wchar_t>(L'0' + number % 10);
        number /= 10;
    } while (number != 0);
    std::wstring text;
    while (count > 0) text += digits[--count];
    return text;
}

std::wstring DecimalText(std::int64_t number) {
    // The magnitude in unsigned arithmetic: negating the smallest value would overflow.
    const auto magnitude = static_cast<std::uint64_t>(number);
    return number < 0 ? L"-" + UnsignedDecimalText(~magnitude + 1) : UnsignedDecimalText(magnitude);
}

std::wstring TidySystemMessage(std::wstring_view message, std::wstring_view subject) {
    std::wstring out;
    for (std::size_t i = 0; i < message.size(); ++i) {
        // "%10" is another insert, not "%1" followed by a zero.
        bool firstInsert = message.substr(i, 2) == L"%1" &&
                           (i + 2 == message.size() || message[i + 2] < L'0' || message[i + 2] > L'9');
        if (!firstInsert) {
            out += message[i];
            continue;
        }
        out += subject;
        ++i;
    }
    while (!out.empty() && (out.back() == L'\r' || out.back() == L'\n' || out.back() == L' ')) out.pop_back();
    return out;
}

}  // namespace orvo
