#include "hosting/jvm_option_list.h"

#include "hosting/ansi_text.h"

namespace orvo {

void JvmOptionList::Append(std::wstring_view option) { entries_.push_back(ToThreadAnsi(option)); }

}  // namespace orvo
