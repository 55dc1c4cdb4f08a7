// orlaspin-sample-image FILE.trd: writes the sample disk to FILE.trd.
#include <exception>
#include <iostream>

#include "sample_disk.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "Usage: orlaspin-sample-image FILE.trd\n";
    return 2;
  }
  try {
    orlaspin::sample::SampleDisk().WriteTo(argv[1]);
  } catch (const std::exception& error) {
    std::cerr << "orlaspin-sample-image: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
