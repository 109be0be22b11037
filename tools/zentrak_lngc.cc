// zentrak-lngc SOURCE OUTPUT: compiles a language source (one message a line,
// "NUMBER TEXT") into a language file for test stations and the demo.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "config/language_source.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: zentrak-lngc SOURCE OUTPUT\n";
    return 1;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << "zentrak-lngc: cannot read " << argv[1] << "\n";
    return 1;
  }
  std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  zentrak::CompiledLanguage compiled = zentrak::CompileLanguageSource(source);
  if (!compiled.error.empty()) {
    std::cerr << "zentrak-lngc: " << argv[1];
    if (compiled.errorLine > 0) std::cerr << ":" << compiled.errorLine;
    std::cerr << ": " << compiled.error << "\n";
    return 1;
  }
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out.write(compiled.bytes.data(), static_cast<std::streamsize>(compiled.bytes.size()));
  out.close();
  if (!out) {
    std::cerr << "zentrak-lngc: cannot write " << argv[2] << "\n";
    return 1;
  }
  std::cout << "zentrak-lngc: wrote " << argv[2] << " (" << compiled.bytes.size() << " bytes)\n";
  return 0;
}
