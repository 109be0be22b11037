// Fuzz target: remote text through REMOTE_CHARSET's conversion, alone and on
// an HTML page. The first byte chooses the code page (single-byte, multi-byte,
// stateful), the second the field's width; the rest is the text. Whatever the
// bytes, the conversion must give well-formed UTF-8, and the page must carry
// no byte of the value unescaped.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>

#include "fuzz_support.h"
#include "platform/code_page.h"
#include "template/template_engine.h"

namespace {

using namespace zentrak;

constexpr const char* kPages[] = {"CP866",    "KOI8-R",    "WINDOWS-1251", "CP437",
                                  "UTF-8",    "SHIFT_JIS", "GB18030",      "ISO-2022-JP",
                                  "UTF-16LE", "BIG5",      "ISO-8859-5",   "EUC-JP"};

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

// Every "&" of the page opens one of the engine's entities, and no markup
// character stands bare: the template itself has none.
bool Escaped(std::string_view page) {
  static constexpr std::string_view kEntities[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&#39;"};
  for (size_t i = 0; i < page.size(); ++i) {
    char c = page[i];
    if (c == '<' || c == '>' || c == '"' || c == '\'') return false;
    if (c != '&') continue;
    bool known = false;
    for (std::string_view entity : kEntities) known = known || page.substr(i).starts_with(entity);
    if (!known) return false;
  }
  return true;
}

class Capture : public File {
 public:
  std::string written;
  size_t Read(char*, size_t) override { return 0; }
  bool ReadFailed() const override { return false; }
  bool Write(std::string_view bytes) override {
    written.append(bytes);
    return true;
  }
  bool Seek(uint64_t) override { return false; }
  bool Flush() override { return true; }
  bool Sync() override { return true; }
  bool Close() override { return true; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const char* name = kPages[data[0] % std::size(kPages)];
  int width = data[1] % 64;
  std::string text(reinterpret_cast<const char*>(data + 2), size - 2);

  static const CodePage* pages[std::size(kPages)] = {};
  const CodePage*& page = pages[data[0] % std::size(kPages)];
  if (page == nullptr) page = new CodePage(name);  // one per page for the whole run
  if (!page->Valid()) return 0;
  if (!WellFormed(page->ToUtf8(text))) std::abort();

  fuzz::QuietConsole quiet;
  Settings settings = SetDefaults();
  settings.REMOTE_CHARSET = name;
  SessionModel model;
  TLink link;
  link.Address = "2:5020/1";
  link.Sysop = text;
  model.links.push_back(link);
  ReportState report;
  report.reportKind = kLinksReport;
  TemplateEngine engine(MacroSources{settings, model, report, quiet.console, fuzz::kToday});
  std::string field = width == 0 ? "*" : std::to_string(width);
  std::string tpl =
      "%ESCAPE=\"HTML\"\n@STARTCIRCLE()\n[@SYSOP(LEFT," + field + ")]\n@ENDCIRCLE()\n";
  Capture output;
  engine.Open(std::make_unique<fuzz::MemoryFile>(tpl), &output);
  if (!engine.TemplateHeader("fuzz.tpl")) return 0;
  engine.TemplateBody();
  engine.TemplateFooter();
  engine.ReleaseFiles();
  if (!WellFormed(output.written) || !Escaped(output.written)) std::abort();
  return 0;
}
