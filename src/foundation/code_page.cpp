#include "foundation/code_page.h"

#include <windows.h>

namespace orvo {

bool ProcessCodePageIsUtf8() { return GetACP() == CP_UTF8; }

}  // namespace orvo
