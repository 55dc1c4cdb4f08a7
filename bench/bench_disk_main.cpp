// orlaspin-bench-disk FILE.trd N: writes a disk of N colourful screens, for timing orlaspin-cli.
#include <exception>
#include <iostream>
#include <string>

#include "bench_disk.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "Usage: orlaspin-bench-disk FILE.trd SCREENS\n";
    return 2;
  }
  try {
    orlaspin::bench::ScreenDisk(std::stoi(argv[2])).WriteTo(argv[1]);
  } catch (const std::exception& error) {
    std::cerr << "orlaspin-bench-disk: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
