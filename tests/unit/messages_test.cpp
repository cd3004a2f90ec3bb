#include "foundation/messages.h"

#include <gtest/gtest.h>

#include <string>

#include "config/jvm_search_settings.h"
#include "config/launcher_settings.h"
#include "discovery/jre_not_found_dialog.h"
#include "hosting/create_jvm_reason.h"

namespace orvo {
namespace {

TEST(StringTable, TemplatesEndWithTheirLineFeed) {
    EXPECT_EQ(LoadMessage(IDS_WINDOWS_EXCEPTION), L"Windows exception: %s (errno = %d).\n");
    EXPECT_EQ(LoadMessage(IDS_JNI_EXCEPTION), L"JNI exception: %s\nReason: %s.\n");
    EXPECT_EQ(LoadMessage(IDS_MAIN_CLASS_LOAD_FAILED), L"Failed to load Main Class: %s.\n");
    EXPECT_EQ(LoadMessage(IDS_MAIN_CLASS_NOT_FOUND), L"Could not find the main class %s.\n");
    EXPECT_EQ(LoadMessage(IDS_NO_MAIN_METHOD), L"No main method found in specified class.\n");
    EXPECT_EQ(LoadMessage(IDS_JVM_LOAD_FAILED), L"Failed to load Java VM library: %s (errno = %d).\n");
}

TEST(StringTable, JreNotFoundTextsKeepTheirDoubleBlank) {
    EXPECT_EQ(LoadMessage(IDS_JRE_NOT_FOUND_SERVER),
              L"The Java Runtime Environment (JRE) was not found. Please  download and install a JRE with a "
              L"server JVM (%s) from:");
    EXPECT_EQ(LoadMessage(IDS_JRE_NOT_FOUND),
              L"The Java Runtime Environment (JRE) was not found. Please  download and install a JRE (%s) from:");
}

TEST(StringTable, FixedMessagesAndDescriptions) {
    EXPECT_EQ(LoadMessage(IDS_MODULE_PATH_FAILED), L"failed to get the module path");
    EXPECT_EQ(LoadMessage(IDS_CLASS_PATH_MISSING), L"Java Class Path was not specified in INI file.");
    EXPECT_EQ(LoadMessage(IDS_MAIN_CLASS_MISSING), L"Main class was not specified in INI file.");
    EXPECT_EQ(LoadMessage(IDS_CREATE_JAVA_VM_MISSING), L"cannot find CreateJavaVM JNI");
    EXPECT_EQ(LoadMessage(IDS_CREATE_VM_FAILED), L"failed to create the Java VM");
    EXPECT_EQ(LoadMessage(IDS_BROWSE_FOR_JRE), L"Browse for JRE folder");
}

TEST(StringTable, VersionRequirementTexts) {
    EXPECT_EQ(LoadMessage(IDS_LATEST_VERSION), L"latest version");
    EXPECT_EQ(LoadMessage(IDS_MAXIMUM_VERSION), L"maximum version %s");
    EXPECT_EQ(LoadMessage(IDS_MINIMUM_VERSION), L"minimum version %s");
    EXPECT_EQ(LoadMessage(IDS_VERSION_REQUIRED), L"version %s is required");
    EXPECT_EQ(LoadMessage(IDS_VERSION_BETWEEN), L"version between %s and %s");
}

TEST(StringTable, UnknownIdGivesEmptyText) { EXPECT_EQ(LoadMessage(9999), L""); }

// The reason a failed JNI_CreateJavaVM result gets in its box; the launch itself is
// tried with a few of them end to end.
TEST(StringTable, EachFailedCreationResultHasItsReason) {
    const std::pair<long, std::wstring> cases[] = {
        {-1, L"unknown"},          {-2, L"thread detached from VM"}, {-3, L"JNI version error"},
        {-4, L"not enough memory"}, {-5, L"VM already created"},      {-6, L"invalid arguments"},
        {-7, L""},                  {1, L""},                         {0, L""}};
    for (const auto& [result, reason] : cases) {
        const unsigned id = CreateJvmReasonId(result);
        EXPECT_EQ(id != 0 ? LoadMessage(id) : std::wstring(), reason) << "result " << result;
    }
}

// The JRE-not-found message for each kind of version range and JVM type; the dialog
// is shown with a few of them end to end.
TEST(StringTable, JreNotFoundMessageNamesTheVersionRequirement) {
    const std::wstring plain = L"The Java Runtime Environment (JRE) was not found. Please  download and install a JRE (";
    const std::wstring server = L"The Java Runtime Environment (JRE) was not found. Please  download and install a "
                                L"JRE with a server JVM (";
    struct Case {
        const wchar_t *minimum, *maximum, *jvmType;
        std::wstring message;
    };
    const Case cases[] = {
        {L"", L"", L"", plain + L"latest version) from:"},
        {L"any", L"any", L"", plain + L"latest version) from:"},
        {L"1.8", L"any", L"", plain + L"minimum version 1.8) from:"},
        {L"", L"1.8", L"", plain + L"maximum version 1.8) from:"},
        {L"1.6", L"11.0.2", L"", plain + L"version between 1.6 and 11.0.2) from:"},
        {L"1.8", L"1.8", L"", plain + L"version between 1.8 and 1.8) from:"},
        {L"1.8.0_292", L"1.8.0.292", L"", plain + L"version 1.8.0.292 is required) from:"},
        {L"1.8", L"", L"server", server + L"minimum version 1.8) from:"},
        {L"1.8.0_292", L"11.0.20.1", L"server", server + L"version between 1.8.0.292 and 11.0.20.1) from:"},
        {L"", L"", L"favor_server", plain + L"latest version) from:"},
    };
    for (const Case& c : cases) {
        LauncherSettings settings;
        settings.versionRange = VersionRange::FromSettingTexts(c.minimum, c.maximum);
        settings.searchPrefs.jvmType = ParseJvmType(c.jvmType);
        EXPECT_EQ(JreNotFoundMessage(settings), c.message) << c.minimum << " " << c.maximum << " " << c.jvmType;
    }
}

}  // namespace
}  // namespace orvo
