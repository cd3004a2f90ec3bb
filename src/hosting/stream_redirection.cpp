// Sending the Java program's standard output and error into files, with a date-time
// picture in their names.
#include "foundation/paths.h"
#include "hosting/file_name_time.h"
#include "hosting/java_strings.h"
#include "hosting/jni_objects.h"
#include "hosting/jvm_host.h"

namespace orvo {

namespace {

using FormatFunction = int(WINAPI*)(LCID, DWORD, const SYSTEMTIME*, const wchar_t*, wchar_t*, int);

constexpr int kPictureBufferLength = 260;

// The picture formatted by one of the two calls; nullopt when it does not fit.
std::optional<std::wstring> FormatPicture(FormatFunction format, const std::wstring& picture,
                                          const SYSTEMTIME& time) {
    // An empty picture is not "no picture": the calls would not take it as the
    // locale's default format, but there is nothing to format either.
    if (picture.empty()) return std::wstring();
    // A picture that cannot fit is not handed over at all: wine's formatting overruns
    // its own stack on pictures of some 300 characters.
    if (picture.size() >= kPictureBufferLength) return std::nullopt;
    wchar_t buffer[kPictureBufferLength];
    int written = format(LOCALE_USER_DEFAULT, 0, &time, picture.c_str(), buffer, kPictureBufferLength);
    if (written <= 0) return std::nullopt;
    return std::wstring(buffer, static_cast<std::size_t>(written - 1));
}

bool HasPicture(const std::wstring& name) { return name.find(L'%') != std::wstring::npos; }

}  // namespace

void CJvmHost::ExpandFileNameTime(std::wstring& name, const SYSTEMTIME& time) {
    std::optional<TimePictureParts> parts = SplitTimePicture(name);
    if (!parts) return;
    std::wstring picture = WithMilliseconds(parts->picture, time.wMilliseconds);
    // Time first: "M" and "d" mean nothing to the time call and pass through to the date call.
    std::optional<std::wstring> timed = FormatPicture(&GetTimeFormatW, picture, time);
    if (!timed) return;
    std::optional<std::wstring> dated = FormatPicture(&GetDateFormatW, *timed, time);
    if (!dated) return;
    name = parts->before + *dated + parts->after;
}

void CJvmHost::RedirectStandardStreams() {
    if (HasPicture(outputFile) || HasPicture(errorFile)) {
        SYSTEMTIME now;
        GetLocalTime(&now);  // once, so that both files carry the same time
        if (HasPicture(outputFile)) ExpandFileNameTime(outputFile, now);
        if (HasPicture(errorFile)) ExpandFileNameTime(errorFile, now);
    }
    // A stream that cannot be redirected stays where it was; the program still runs.
    if (!outputFile.empty() && !RedirectStream(outputFile, outputAppend, "setOut")) {
        DescribePendingException(env);
    }
    if (!errorFile.empty() && !RedirectStream(errorFile, errorAppend, "setErr")) {
        DescribePendingException(env);
    }
}

bool CJvmHost::RedirectStream(const std::wstring& path, bool append, const char* systemMethod) {
    CreateParentDirectories(path);  // opening the file decides; this only helps it
    jstring javaPath = NewJavaString(env, path);
    if (!javaPath) return false;
    jobject fileStream = NewFileOutputStream(env, javaPath, append);
    if (!fileStream) return false;
    jobject printStream = NewPrintStream(env, fileStream);
    if (!printStream) return false;
    if (!CallSystemStreamSetter(env, systemMethod, printStream)) {
        DescribePendingException(env);
        return false;
    }
    return true;
}

}  // namespace orvo
