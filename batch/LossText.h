#pragma once

#include "UnmappableCharacters.h"

#include <string>

namespace veltran {

/// What a file loses to its target, as the log and the check show it: "目标编码没有的字符 N 个，已写成
/// "?"：" (or "将写成" when `happened` is false, for a check) and the first characters lost, each as
/// "U+1F600 😀", joined by "，", with " ..." when there are more. Empty when nothing is lost.
std::string LossText(const UnmappableCharacters& lost, bool happened);

} // namespace veltran
