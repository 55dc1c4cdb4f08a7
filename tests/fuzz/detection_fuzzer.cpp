// Any bytes under a name whose extension names no kind: the content decides, in this order, an
// SCL signature, a Hobeta header whose checksum holds, exactly 6912 bytes (a screen named after
// the file), the TR-DOS identifier; anything else is refused. The first byte picks the name.
// Bytes that a disk, tape or snapshot reader claims are left to those readers' own targets.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "collection_model.h"
#include "containers/dsk_image.h"
#include "containers/fdi_image.h"
#include "containers/image_reader.h"
#include "containers/pzx_file.h"
#include "containers/sna_snapshot.h"
#include "containers/szx_snapshot.h"
#include "containers/tap_file.h"
#include "containers/td0_image.h"
#include "containers/tzx_file.h"
#include "containers/udi_image.h"

namespace {

using namespace orlaspin;
using namespace orlaspin::testing;

struct NamedPath {
  const char* path;
  const char* stem;  // the file's name without its extension
};

// Names with no extension of a kind, some of them close to one.
constexpr NamedPath kPaths[] = {
    {"image", "image"},
    {"/games/DISK.img", "DISK"},
    {"C:\\games\\GAME.trd.bak", "GAME.trd"},
    {"saved.scl/image", "image"},
    {"pics\\.trd", ".trd"},
    {".scr", ".scr"},
    {"pic.$", "pic"},
    {"pic.$CC", "pic"},
    {"pic.!", "pic"},
    {"a.b/c.d\\picture.scr1", "picture"},
};

std::optional<ModelCollection> ModelByContent(std::span<const std::uint8_t> bytes,
                                              const std::string& stem) {
  if (bytes.size() >= 8 && std::string(bytes.begin(), bytes.begin() + 8) == "SINCLAIR") {
    return SclModel(bytes);
  }
  if (HobetaHeaderHolds(bytes)) return HobetaModel(bytes);
  if (const auto screen = BareScreenModel(bytes, stem)) return screen;
  return IdentifiedTrdModel(bytes);
}

// Signatures looked for before the kinds modelled here.
bool HasOtherSignature(std::span<const std::uint8_t> bytes) {
  return HasFdiSignature(bytes) || HasUdiSignature(bytes) || HasTd0Signature(bytes) ||
         HasDskSignature(bytes) || HasTzxSignature(bytes) || HasPzxSignature(bytes) ||
         HasSzxSignature(bytes);
}

// Weaker marks, looked for only when nothing modelled here fits.
bool HasOtherShape(std::span<const std::uint8_t> bytes) {
  return LooksLikeTap(bytes) || HasSnaSize(bytes.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const NamedPath& named = kPaths[data[0] % std::size(kPaths)];
  const std::span<const std::uint8_t> bytes(data + 1, size - 1);
  if (HasOtherSignature(bytes)) return 0;
  std::optional<ModelCollection> model = ModelByContent(bytes, named.stem);
  if (!model && HasOtherShape(bytes)) return 0;
  CheckReader([&] { return ReadCollection(named.path, bytes); }, bytes, std::move(model));
  return 0;
}
