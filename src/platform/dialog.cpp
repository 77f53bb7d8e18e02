#include <cctype>
#include <cstdint>

#include "platform/dialog.h"

namespace opta::platform {

int ReadDialogInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) return 0;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return 0;
    value = value * 10 + (text[i] - '0');
    if (value > std::int64_t{2147483648}) return 0;
  }
  if (negative) value = -value;
  if (value > 2147483647 || value < -2147483648LL) return 0;
  return static_cast<int>(value);
}

}  // namespace opta::platform
