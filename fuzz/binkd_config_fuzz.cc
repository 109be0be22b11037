// Fuzz target: binkd.conf with its includes. The input is a set of files
// split at the byte 0x1E: the first is binkd.conf, the k-th after it is
// "fk.conf" beside it; "locked.conf" exists but may not be read, and any other
// name is missing. So includes can form loops, chains past the depth bound,
// and point at missing and unreadable files.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "config/binkd_config.h"
#include "config/config_lines.h"
#include "config/mailer_config.h"
#include "console/run_stop.h"
#include "fuzz_support.h"

namespace {

using namespace zentrak;

constexpr char kDir[] = "/etc/binkd/";

class IncludePlatform : public fuzz::SandboxPlatform {
 public:
  explicit IncludePlatform(std::string_view input) {
    int k = 0;
    while (true) {
      size_t end = input.find('\x1e');
      std::string name = k == 0 ? "binkd.conf" : "f" + std::to_string(k) + ".conf";
      files_[kDir + name] = input.substr(0, end);
      if (end == std::string_view::npos) break;
      input.remove_prefix(end + 1);
      ++k;
    }
  }
  std::unique_ptr<File> OpenFile(const std::string& path, FileMode mode) override {
    auto found = files_.find(path);
    if (mode != FileMode::kRead || found == files_.end()) {
      errno = path == std::string(kDir) + "locked.conf" ? EACCES : ENOENT;
      return nullptr;
    }
    return std::make_unique<fuzz::MemoryFile>(found->second);
  }

 private:
  std::map<std::string, std::string_view> files_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  IncludePlatform platform(input);
  fuzz::QuietConsole console;
  Settings settings = SetDefaults();
  settings.logFormat = LogFormat::kBinkd;
  settings.MAILER_CFG = std::string(kDir) + "binkd.conf";
  settings.AliasList = {"Hub=/52", "Point=7", "Far=1:2/3"};
  try {
    ReadMailerConfig(settings, console.console, platform);
    CompleteShortAliases(settings, console.console);
  } catch (const RunStop&) {
  }
  LineReader lines(input);
  ReadsAsBinkdConfig(lines);
  return 0;
}
