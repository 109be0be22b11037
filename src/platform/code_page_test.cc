// The code-page conversion: known pages, bytes no page has, and every byte
// value of a page giving well-formed UTF-8.
#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace zentrak {
namespace {

// True when `text` is well-formed UTF-8 (no overlong form, no surrogate).
bool WellFormed(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    auto c = static_cast<unsigned char>(text[i]);
    size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return false;
    uint32_t point = length == 1 ? c : c & (0x7f >> length);
    for (size_t k = 1; k < length; ++k) {
      auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xc0) != 0x80) return false;
      point = point << 6 | (next & 0x3f);
    }
    static constexpr uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < kLeast[length] || point > 0x10ffff || (point >= 0xd800 && point <= 0xdfff))
      return false;
    i += length;
  }
  return true;
}

TEST(CodePage, ConvertsAndReplacesWhatThePageHasNot) {
  struct Row {
    std::string page;
    std::string in;
    std::string out;
  } rows[] = {
      {"cp866", "\x88\xa2\xa0\xad", "\xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd"},
      {"koi8-r", "\xe9\xd7\xc1\xce", "\xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd"},
      {"windows-1251", "\xc8\xe2\xe0\xed", "\xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd"},
      {"cp866", "plain <ascii> & \"q\"", "plain <ascii> & \"q\""},
      {"UTF-8", "ok \xd0\x98", "ok \xd0\x98"},
      {"UTF-8", "\xd0", "\xef\xbf\xbd"},  // cut at the end
      {"UTF-8",
       "\xff"
       "a",
       "\xef\xbf\xbd"
       "a"},  // no UTF-8 byte
      {"cp866", "", ""},
  };
  for (const Row& row : rows) {
    CodePage page(row.page);
    ASSERT_TRUE(page.Valid()) << row.page;
    EXPECT_EQ(page.ToUtf8(row.in), row.out) << row.page << " " << row.in;
  }
  // How many replacement characters a bad sequence gives is the system's
  // business; that it gives some, and nothing but well-formed text, is ours
  // (glibc's iconv passes U+110000 on: it must not reach a page).
  CodePage utf8("UTF-8");
  for (std::string bad : {"\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xf8\x88\x80\x80\x80"}) {
    std::string out = utf8.ToUtf8(bad + "b");
    EXPECT_TRUE(WellFormed(out) && out.ends_with("b")) << bad;
    EXPECT_NE(out.find(kReplacementUtf8), std::string::npos) << bad;
  }
  CodePage unknown("no-such-page");
  EXPECT_FALSE(unknown.Valid());
  EXPECT_EQ(unknown.ToUtf8("\x88"), "\x88");
}

TEST(CodePage, WhatIsNoUtf8BecomesOneReplacementEach) {
  const std::pair<std::string, std::string> rows[] = {
      {"a\xd0\x98", "a\xd0\x98"},
      {"\xf4\x90\x80\x80", "\xef\xbf\xbd"},  // past U+10FFFF
      {"\xed\xa0\x80", "\xef\xbf\xbd"},      // a surrogate
      {"\xe0\x80\xaf", "\xef\xbf\xbd"},      // overlong
      {"\xd0"
       "x",
       "\xef\xbf\xbd"
       "x"},                                     // broken off
      {"\x80\xff", "\xef\xbf\xbd\xef\xbf\xbd"},  // no lead byte
      {"\xf0\x9f\x98\x80", "\xf0\x9f\x98\x80"},
  };
  for (const auto& [in, out] : rows) EXPECT_EQ(WellFormedUtf8(in), out) << in;
}

TEST(CodePage, EveryByteValueGivesWellFormedText) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  for (const char* name : {"cp866", "koi8-r", "windows-1251", "cp437", "UTF-8", "iso-8859-5"}) {
    CodePage page(name);
    ASSERT_TRUE(page.Valid()) << name;
    std::string out = page.ToUtf8(all);
    EXPECT_TRUE(WellFormed(out)) << name;
    for (int c = 0; c < 256; ++c) {
      std::string one = page.ToUtf8(std::string(1, static_cast<char>(c)));
      EXPECT_TRUE(WellFormed(one) && !one.empty()) << name << " byte " << c;
    }
  }
}

}  // namespace
}  // namespace zentrak
