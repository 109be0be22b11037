// What both sides of the code-page conversion share.
#include "platform/code_page.h"

namespace zentrak {

// Each sequence is checked as UTF-8 defines it: no overlong form, no
// surrogate, nothing past U+10FFFF. A bad lead byte or a sequence broken off
// is one U+FFFD, and the reading goes on after the bytes it used.
std::string WellFormedUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    size_t length = (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    uint32_t point = length == 0 ? 0 : c & (0x7f >> length);
    size_t used = 1;
    while (length != 0 && used < length && i + used < text.size() &&
           (static_cast<unsigned char>(text[i + used]) & 0xc0) == 0x80) {
      point = point << 6 | (static_cast<unsigned char>(text[i + used]) & 0x3f);
      ++used;
    }
    static constexpr uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    bool whole = length != 0 && used == length && point >= kLeast[length] && point <= 0x10ffff &&
                 !(point >= 0xd800 && point <= 0xdfff);
    if (whole) {
      out.append(text.substr(i, used));
    } else {
      out.append(kReplacementUtf8);
    }
    i += used;
  }
  return out;
}

}  // namespace zentrak
