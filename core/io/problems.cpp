#include "io/problems.h"

#include <array>
#include <cstddef>
#include <string_view>
#include <utility>

namespace orlaspin {

namespace {

// Each problem's text: "{where}" stands for the place, "{0}", "{1}" ... for the detail's values.
constexpr std::array<std::pair<Problem, std::string_view>, 63> kTexts{{
    {Problem::TapeCutShort, "tape cut short in {where}"},
    {Problem::DataPastBlockEnd, "the data of {where} runs past the block's end"},
    {Problem::WrongBlockChecksum, "wrong checksum in {where}"},
    {Problem::HeaderWithoutData, "the header in {where} (\"{0}\") has no data block after it"},
    {Problem::ScreenBlockTooShort, "the screen in {where} is shorter than 6912 bytes"},
    {Problem::UnknownSnapshotType, "a snapshot of unknown type {0}"},
    {Problem::SnapshotBlockUnreadable, "{0}"},
    {Problem::TapeMadeBytesLimit,
     "{where} would unpack past 16 MiB of bytes; the rest of the tape is not read"},
    {Problem::SnapshotCutShort, "the snapshot is cut short in {where}"},
    {Problem::SnapshotScreenCutShort, "the snapshot is cut short: its screen has {0} of {1} bytes"},
    {Problem::SnaOddSize, "an SNA snapshot of {0} bytes, not 49179, 131103 or 147487"},
    {Problem::Z80MemorySize, "the memory holds {0} bytes, not 49152"},
    {Problem::Z80MemoryUnpackedSize, "the memory unpacks to {0} bytes, not 49152"},
    {Problem::Z80PageUnpackedSize, "{where} unpacks to {0} bytes, not 16384"},
    {Problem::Z80ScreenPageMissing, "the snapshot holds no page {0}, where its screen is"},
    {Problem::SzxScreenPageMissing, "the snapshot holds no RAM page {0}, where its screen is"},
    {Problem::SzxScreenPageShort, "RAM page {0} does not unpack to 16384 bytes"},
    {Problem::NexCutShort, "the NEX program is cut short: its {where} has {0} of {1} bytes"},
    {Problem::TrdMarkMissing,
     "the disk information sector lacks the TR-DOS mark; the image is read as a TR-DOS disk all "
     "the same"},
    {Problem::ScreenWhollyPastEnd,
     "the screen \"{where}\" lies wholly past the end of the image: it comes out black"},
    {Problem::ScreenPartlyPastEnd,
     "the screen \"{where}\" lies partly past the end of the image: {0} of its {1} bytes are "
     "missing and come out black"},
    {Problem::HobetaWrongChecksum,
     "wrong Hobeta header checksum: the header says {0}, its bytes give {1}"},
    {Problem::HobetaCutShort,
     "the Hobeta file is cut short: {0} of {1} data bytes; the missing bytes read as zero"},
    {Problem::SclCutShort,
     "the SCL archive is cut short: {0} of {1} bytes; the missing bytes read as zero"},
    {Problem::SclWrongChecksum,
     "wrong SCL checksum: the archive says {0}, its bytes add up to {1}"},
    {Problem::SectorsMissing, "{0} of {1} sectors missing, read as zeros"},
    {Problem::SectorsDamaged,
     "{0} of {1} sectors damaged (CRC error or cut short), read as recorded"},
    {Problem::FdiTrackHeadersCutShort,
     "the FDI image is cut short: the track headers end at track {0} of {1}"},
    {Problem::FdiSectorsCutShort,
     "the FDI image is cut short; sectors with data past its end: {0}"},
    {Problem::UdiCutShort, "the UDI image is cut short: {0} of {1} bytes"},
    {Problem::UdiWrongChecksum, "wrong UDI checksum: the image says {0}, its bytes give {1}"},
    {Problem::UdiFmTracksSkipped,
     "tracks recorded in FM, which TR-DOS does not use, not read: {0}"},
    {Problem::UdiUnknownTrackType,
     "{where} has the unknown type {0}; it and the tracks after it were not read"},
    {Problem::UdiTrackDataDamaged, "its compressed data is damaged; it was not read"},
    {Problem::UdiTracksEndEarly, "the UDI image's tracks end early, at {where}"},
    {Problem::Td0CutShort, "the TD0 image is cut short after {0} whole tracks"},
    {Problem::Td0WrongTrackHeaderCrcs, "track headers with a wrong CRC: {0}"},
    {Problem::Td0UnknownMethods, "sectors stored by an unknown method, read as zeros: {0}"},
    {Problem::Td0WrongHeaderCrc, "wrong TD0 header CRC: the image says {0}, its bytes give {1}"},
    {Problem::Td0WrongCommentCrc, "wrong CRC of the TD0 comment"},
    {Problem::DskCutShort, "the DSK image is cut short: it ends before track {0} of {1}"},
    {Problem::DskTracksUnreadable, "tracks without a track information block, not read: {0}"},
    {Problem::Plus3BlocksShort, "its blocks hold {0} of its {1} bytes"},
    {Problem::Plus3FileCutShort,
     "{where} is cut short: {0} of its {1} data bytes; the missing bytes read as zero"},
    {Problem::Plus3TooManyFiles,
     "the directory lists more than {0} MB of files; the files after {1} were not read"},
    {Problem::ZipEndsInLocalHeader, "the archive ends inside a local header"},
    {Problem::ZipDescriptorMissing, "its sizes are in a data descriptor that was not found"},
    {Problem::ZipDirectoryDamaged,
     "the central directory is damaged; members were found by their local headers"},
    {Problem::ZipNoEndRecord,
     "the archive has no end record (cut short?); members were found by their local headers"},
    {Problem::MemberEncrypted, "encrypted; member skipped"},
    {Problem::MemberMethodUnsupported, "compression method {0} is not supported; member skipped"},
    {Problem::MemberTooLarge, "larger than {0}; member skipped"},
    {Problem::MemberLocalHeaderMissing, "its local header is missing; member skipped"},
    {Problem::MemberCutShort, "cut short; member skipped"},
    {Problem::MemberSizeMismatch, "stored in {0} but {1} long; member skipped"},
    {Problem::MemberInflatesTooLong, "inflates to more than its {0}; member skipped"},
    {Problem::MemberBrokenDeflate, "broken deflate data; member skipped"},
    {Problem::MemberWrongCrc, "wrong CRC-32; member skipped"},
    {Problem::ArchiveTooDeep, "an archive inside {0} archives; not opened"},
    {Problem::ArchiveTooLong, "longer than {0} MiB; members past that are not read"},
    {Problem::GzipFileSkipped, "{0}; skipped"},
    {Problem::GzipInsideGzip, "a gzip file inside a gzip file; not opened"},
    {Problem::PictureScaleReduced,
     "a picture of {0} x {1} pixels enlarged {2} times would pass {3} pixels; enlarged {4} times "
     "instead"},
}};

constexpr bool InEnumOrder() {
  for (std::size_t i = 0; i < kTexts.size(); ++i) {
    if (kTexts[i].first != static_cast<Problem>(i)) return false;
  }
  return kTexts.back().first == Problem::PictureScaleReduced;
}
static_assert(InEnumOrder(), "one text per problem, in the enum's order");

constexpr std::string_view kWhere = "{where}";

}  // namespace

std::string WarningText(const Warning& warning) {
  const std::string_view pattern = kTexts[static_cast<std::size_t>(warning.problem)].second;
  std::string text = warning.within.empty() ? "" : warning.within + ": ";
  if (!warning.where.empty() && pattern.find(kWhere) == std::string_view::npos) {
    text += warning.where + ": ";
  }
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '{') {
      text += pattern[i];
      continue;
    }
    const std::size_t end = pattern.find('}', i);
    const std::string_view name = pattern.substr(i + 1, end - i - 1);
    if (name == kWhere.substr(1, kWhere.size() - 2)) {
      text += warning.where;
    } else {
      const auto index = static_cast<std::size_t>(name[0] - '0');
      if (index < warning.detail.size()) text += warning.detail[index];
    }
    i = end;
  }
  return text;
}

}  // namespace orlaspin
