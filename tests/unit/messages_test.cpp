#include "foundation/messages.h"

#include <gtest/gtest.h>

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

TEST(StringTable, JniReasons) {
    EXPECT_EQ(LoadMessage(IDS_JNI_ERR), L"unknown");
    EXPECT_EQ(LoadMessage(IDS_JNI_EDETACHED), L"thread detached from VM");
    EXPECT_EQ(LoadMessage(IDS_JNI_EVERSION), L"JNI version error");
    EXPECT_EQ(LoadMessage(IDS_JNI_ENOMEM), L"not enough memory");
    EXPECT_EQ(LoadMessage(IDS_JNI_EEXIST), L"VM already created");
    EXPECT_EQ(LoadMessage(IDS_JNI_EINVAL), L"invalid arguments");
}

TEST(StringTable, UnknownIdGivesEmptyText) { EXPECT_EQ(LoadMessage(9999), L""); }

}  // namespace
}  // namespace orvo
