#include "ChineseMapping.h"

#include "OpenccConverter.h"

namespace veltran {

std::u16string ToTraditional(std::u16string_view text) {
  static const OpenccConverter converter(kS2twConfig);
  return converter.Convert(text);
}

std::u16string ToSimplified(std::u16string_view text) {
  static const OpenccConverter converter(kTw2sConfig);
  return converter.Convert(text);
}

} // namespace veltran
