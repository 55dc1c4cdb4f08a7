// Every kind of image the readers know, one row each: what tells the kind apart and which reader
// takes it. Dispatch by extension and by content, the refusal text and the type words all come
// from these rows, so a new container is its reader's file and one row here.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "containers/collection.h"

namespace orlaspin {

struct ContainerKind {
  ImageKind kind;
  // The type word of listings and JSON ("trd", "scl", ...).
  std::string_view word;
  // What a file of the kind is, for the refusal text ("SCL archive", "FDI" in the family "disk
  // image").
  std::string_view noun;
  std::string_view family;
  // The extensions that name the kind (lower case, no dot; "?" matches any one character).
  std::span<const std::string_view> extensions;
  // Claims an extension the list above does not name alone (a bare screen's, whose size must fit
  // its format); may be null.
  bool (*claimsExtension)(std::string_view extension, std::span<const std::uint8_t> bytes);
  // A cheap look at the content, a signature or a size, never a parse; null when the kind is known
  // by its extension only.
  bool (*probe)(std::span<const std::uint8_t> bytes);
  // Where the probe stands when content decides: strong signatures first, sizes last.
  int probeRank;
  Collection (*read)(std::span<const std::uint8_t> bytes, std::string_view path);
  // By its nature one picture named after its file (a bare screen, a snapshot): an export of many
  // images gives it no folder of its own.
  bool onePicture = false;
};

// Every row, in the order their nouns are listed.
std::span<const ContainerKind> ContainerKinds();

// The row whose extensions (or claim) take a file of this extension (lower case, no dot) and
// bytes; null when none does.
const ContainerKind* KindByExtension(std::string_view extension,
                                     std::span<const std::uint8_t> bytes);

// The first row, by probe rank, whose probe accepts the bytes; null when none does.
const ContainerKind* KindByContent(std::span<const std::uint8_t> bytes);

// The row of a kind.
const ContainerKind& RowOf(ImageKind kind);

// "trd", "scl", "hobeta", "scr", ...: the row's type word.
std::string_view KindName(ImageKind kind);

// What a file that no row takes is not: every row's noun, a family's nouns joined ("not a TR-DOS
// image, SCL archive, ..., FDI, UDI, TD0 or DSK disk image, ...").
std::string NoKnownKindText();

}  // namespace orlaspin
