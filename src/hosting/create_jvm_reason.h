#pragma once
// Which string explains a failed JNI_CreateJavaVM result. Pure, no <windows.h>.

namespace orvo {

// The string id of the reason for a JNI result code from -1 (JNI_ERR) to -6
// (JNI_EINVAL); 0 for any other result, which is reported with an empty reason.
unsigned CreateJvmReasonId(long result) noexcept;

}  // namespace orvo
