#pragma once
// Section and key names of the configuration file, written exactly as the files use
// them (the profile API matches them without regard to letter case).

namespace orvo {

inline constexpr wchar_t kSectionProductInformation[] = L"Product Information";
inline constexpr wchar_t kSectionApplication[] = L"Application";
inline constexpr wchar_t kSectionJavaRuntime[] = L"Java Runtime Environment";
inline constexpr wchar_t kSectionClassPath[] = L"Class Path";
inline constexpr wchar_t kSectionDisplay[] = L"Display";

// [Product Information]
inline constexpr wchar_t kKeyProductName[] = L"Product Name";
inline constexpr wchar_t kKeyProductCode[] = L"Product Code";

// [Application]
inline constexpr wchar_t kKeyApplicationType[] = L"Application Type";
inline constexpr wchar_t kKeySingleInstance[] = L"Single Instance";
inline constexpr wchar_t kKeyFailureCheck[] = L"Failure Check";
inline constexpr wchar_t kKeyOverrideWorkingDir[] = L"Override WorkingDir";
inline constexpr wchar_t kKeyPairProduct[] = L"Pair Product";
inline constexpr wchar_t kKeyPairReturnCode[] = L"Pair Return Code";
inline constexpr wchar_t kKeyCmd[] = L"Cmd";
inline constexpr wchar_t kKeyCommandLineQuoting[] = L"Command Line Quoting";
inline constexpr wchar_t kKeyEmbeddedJar[] = L"Embedded Jar";
inline constexpr wchar_t kKeyOutputFile[] = L"Output File";
inline constexpr wchar_t kKeyOutputAppend[] = L"Output Append";
inline constexpr wchar_t kKeyErrorFile[] = L"Error File";
inline constexpr wchar_t kKeyErrorAppend[] = L"Error Append";
inline constexpr wchar_t kKeyServiceStopMethod[] = L"Service Stop Method";
inline constexpr wchar_t kKeyServiceStopTimeout[] = L"Service Stop Timeout";

// [Java Runtime Environment]
inline constexpr wchar_t kKeyMainClass[] = L"Main Class";
inline constexpr wchar_t kKeyJrePath[] = L"JRE Path";
inline constexpr wchar_t kKeyMinimumVersion[] = L"Minimum Version";
inline constexpr wchar_t kKeyMaximumVersion[] = L"Maximum Version";
inline constexpr wchar_t kKeyPreferredVersions[] = L"Preferred versions";
inline constexpr wchar_t kKeyJvmType[] = L"JVM Type";
inline constexpr wchar_t kKeyJvmSource[] = L"JVM Source";
inline constexpr wchar_t kKeyVmProvider[] = L"VM Provider";
inline constexpr wchar_t kKeySystemPath[] = L"System Path";
inline constexpr wchar_t kKeyLibraryPath[] = L"Library Path";
inline constexpr wchar_t kKeyVirtualMachineParameters[] = L"Virtual Machine Parameters";
inline constexpr wchar_t kKeyClassDataCache[] = L"Class Data Cache";

// [Class Path]
inline constexpr wchar_t kKeyClassPath[] = L"Class Path";

// [Display]
inline constexpr wchar_t kKeySplashScreen[] = L"Splash Screen";
inline constexpr wchar_t kKeySplashScreenShadow[] = L"Splash Screen Shadow";
inline constexpr wchar_t kKeyPreferNativeSplashScreen[] = L"Preffer Native Splash Screen";

// Value of "Command Line Quoting", in any letter case, that selects the Windows C
// runtime's rules for the launcher's command line.
inline constexpr wchar_t kWindowsCommandLineQuoting[] = L"windows";

// Exact (case-sensitive) value of "Single Instance" that turns the mode on.
inline constexpr wchar_t kSingleInstanceEnabled[] = L"yes";

// Exact (case-sensitive) value of "Output Append" and "Error Append" that appends.
inline constexpr wchar_t kAppendEnabled[] = L"yes";

// Exact (case-sensitive) value of "Application Type" that selects service mode.
inline constexpr wchar_t kServiceApplicationType[] = L"service";

}  // namespace orvo
