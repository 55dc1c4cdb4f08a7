// Writes the manual page or a shell's completion script, drawn from the option table, for the
// build to install.
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "man_page.h"

int main(int argc, char** argv) {
  using Writer = std::string (*)();
  constexpr std::pair<std::string_view, Writer> kDocuments[] = {
      {"man", orlaspin::ManPage},
      {"bash", orlaspin::BashCompletion},
      {"zsh", orlaspin::ZshCompletion},
      {"fish", orlaspin::FishCompletion},
  };
  for (const auto& [name, write] : kDocuments) {
    if (argc == 3 && argv[1] == name) {
      std::ofstream file(argv[2], std::ios::binary);
      file << write();
      return file.close(), file ? 0 : 1;
    }
  }
  std::cerr << "Usage: orlaspin-cli-docs man|bash|zsh|fish FILE\n";
  return 2;
}
