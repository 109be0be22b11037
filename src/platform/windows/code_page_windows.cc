// Code pages through MultiByteToWideChar and WideCharToMultiByte. Windows
// numbers its code pages; the names a sysop would write map to them here.
#include <windows.h>

#include <cstdlib>

#include "platform/code_page.h"

namespace zentrak {

struct CodePage::Impl {
  UINT page;
};

namespace {

struct PageName {
  std::string_view name;
  UINT page;
};

constexpr PageName kPageNames[] = {
    {"koi8-r", 20866},      {"koi8r", 20866},    {"koi8-u", 21866},     {"utf-8", 65001},
    {"utf8", 65001},        {"ibm866", 866},     {"ibm437", 437},       {"ibm850", 850},
    {"iso-8859-1", 28591},  {"latin1", 28591},   {"iso-8859-2", 28592}, {"iso-8859-5", 28595},
    {"iso-8859-15", 28605}, {"us-ascii", 20127}, {"ascii", 20127},      {"mac-cyrillic", 10007},
};

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return lower;
}

// "cp866", "windows-1251", "866": the number itself.
UINT PageOf(std::string_view name) {
  std::string lower = Lower(name);
  for (const PageName& row : kPageNames) {
    if (row.name == lower) return row.page;
  }
  std::string_view digits = lower;
  for (std::string_view prefix : {"windows-", "cp", "ibm"}) {
    if (digits.starts_with(prefix)) digits.remove_prefix(prefix.size());
  }
  if (digits.empty() || digits.size() > 5) return 0;
  UINT page = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    page = page * 10 + static_cast<UINT>(c - '0');
  }
  return IsValidCodePage(page) ? page : 0;
}

}  // namespace

CodePage::CodePage(std::string_view name) {
  UINT page = PageOf(name);
  if (page != 0) impl_ = std::make_unique<Impl>(Impl{page});
}

CodePage::~CodePage() = default;

// Without MB_ERR_INVALID_CHARS, Windows puts U+FFFD (or the page's default
// character) for what it cannot read, and the UTF-8 it writes is well-formed.
std::string CodePage::ToUtf8(std::string_view bytes) const {
  if (!impl_) return std::string(bytes);
  if (bytes.empty()) return std::string();
  int size = static_cast<int>(bytes.size());
  int wide = MultiByteToWideChar(impl_->page, 0, bytes.data(), size, nullptr, 0);
  if (wide <= 0) return std::string(kReplacementUtf8);
  std::wstring text(static_cast<size_t>(wide), L'\0');
  MultiByteToWideChar(impl_->page, 0, bytes.data(), size, text.data(), wide);
  int narrow = WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
  if (narrow <= 0) return std::string(kReplacementUtf8);
  std::string out(static_cast<size_t>(narrow), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, out.data(), narrow, nullptr, nullptr);
  return WellFormedUtf8(out);
}

}  // namespace zentrak
