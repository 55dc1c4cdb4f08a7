// What the readers of SCL archives, Hobeta files, bare screens and TR-DOS disks must make of any
// bytes, worked out from the layouts alone, and the check of what a reader made against it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "containers/collection.h"

namespace orlaspin::testing {

struct ModelCollection {
  ImageKind kind = ImageKind::TrdImage;
  std::vector<CollectionFile> files;
  // The problems the reader must warn of, one warning each; absent where the layout says nothing
  // about warnings.
  std::optional<std::vector<Problem>> problems;
};

// A Hobeta header is there and its checksum, (105 + 257 x the sum of bytes 0-14) mod 65536, holds.
bool HobetaHeaderHolds(std::span<const std::uint8_t> bytes);

// Each returns nullopt where the reader must refuse the bytes.
std::optional<ModelCollection> SclModel(std::span<const std::uint8_t> bytes);
std::optional<ModelCollection> HobetaModel(std::span<const std::uint8_t> bytes);
std::optional<ModelCollection> BareScreenModel(std::span<const std::uint8_t> bytes,
                                               const std::string& stem);
// A disk as recognised by its content: only one that carries the TR-DOS identifier.
std::optional<ModelCollection> IdentifiedTrdModel(std::span<const std::uint8_t> bytes);

// Runs read on bytes and requires what model says: a refusal (ImageFormatError, its text saying
// what the bytes are not) exactly when model is empty, otherwise the model's kind, files and
// warnings, with every screen's data the 6912 bytes at its offset (zero past the end).
void CheckReader(const std::function<Collection()>& read, std::span<const std::uint8_t> bytes,
                 const std::optional<ModelCollection>& model);

}  // namespace orlaspin::testing
