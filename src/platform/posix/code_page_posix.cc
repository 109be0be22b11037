// Code pages through iconv.
#include <iconv.h>

#include <cerrno>

#include "platform/code_page.h"

namespace zentrak {

struct CodePage::Impl {
  iconv_t handle;
};

CodePage::CodePage(std::string_view name) {
  std::string from(name);
  iconv_t handle = iconv_open("UTF-8", from.c_str());
  if (handle != reinterpret_cast<iconv_t>(-1)) impl_ = std::make_unique<Impl>(Impl{handle});
}

CodePage::~CodePage() {
  if (impl_) iconv_close(impl_->handle);
}

// A sequence iconv cannot read becomes one replacement character for its first
// byte, and the reading goes on after it; an incomplete one at the end is one.
std::string CodePage::ToUtf8(std::string_view bytes) const {
  if (!impl_) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() * 2);
  iconv(impl_->handle, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  char buffer[1024];
  while (inLeft > 0) {
    char* to = buffer;
    size_t toLeft = sizeof buffer;
    size_t done = iconv(impl_->handle, &in, &inLeft, &to, &toLeft);
    int error = errno;
    out.append(buffer, static_cast<size_t>(to - buffer));
    if (done != static_cast<size_t>(-1) || error == E2BIG) continue;
    out.append(kReplacementUtf8);
    if (error == EILSEQ) {
      ++in;
      --inLeft;
      iconv(impl_->handle, nullptr, nullptr, nullptr, nullptr);
    } else {
      break;  // EINVAL: the text ends inside a sequence
    }
  }
  // A stateful code page may still owe its shift back.
  char* to = buffer;
  size_t toLeft = sizeof buffer;
  iconv(impl_->handle, nullptr, nullptr, &to, &toLeft);
  out.append(buffer, static_cast<size_t>(to - buffer));
  return WellFormedUtf8(out);
}

}  // namespace zentrak
