#include "io/errors.h"

#include <gtest/gtest.h>

namespace orlaspin {
namespace {

TEST(IoErrorTable, NamesCodesTwoToFiveAndNumbersTheRest) {
  const std::pair<int, const char*> table[] = {
      {2, "File not found"},     {3, "Invalid filename"}, {4, "Too many open files"},
      {5, "File access denied"}, {1, "I/O error 1"},      {6, "I/O error 6"},
      {32, "I/O error 32"},      {0, "I/O error 0"},      {1392, "I/O error 1392"}};
  for (const auto& [code, message] : table) {
    const Error error = IoError(code);
    EXPECT_EQ(error.Code(), code);
    EXPECT_EQ(error.Message(), message);
    EXPECT_STREQ(error.what(), message);
  }
  EXPECT_EQ(UnlistedIoError(2).Message(), "I/O error 2");
  EXPECT_EQ(UnlistedIoError(2).Code(), 2);
}

TEST(CreateFileError, CarriesThePathAndTheTrimmedReason) {
  const Error error = CreateFileError("C:\\out\\PIC.bmp", "Access is denied.\r\n", 5);
  EXPECT_EQ(error.Code(), 5);
  EXPECT_EQ(error.Message(), "Cannot create file \"C:\\out\\PIC.bmp\". Access is denied");
  EXPECT_EQ(CreateFileError("/a b/x.bmp", "No space... left  ..\t", 28).Message(),
            "Cannot create file \"/a b/x.bmp\". No space... left");
  EXPECT_EQ(CreateFileError("x", "", 1).Message(), "Cannot create file \"x\". ");
}

TEST(CreateFileError, CutsTheReasonTo256CharactersBeforeTrimming) {
  std::string reason(255, 'a');
  reason.append(". tail");
  std::string expected = "Cannot create file \"x\". ";
  expected.append(255, 'a');
  EXPECT_EQ(CreateFileError("x", reason, 1).Message(), expected);
  // Characters, not bytes: 300 Cyrillic letters of two bytes each keep 256 letters.
  std::string russian;
  for (int i = 0; i < 300; ++i) russian += "\xD0\x96";
  const std::string message = CreateFileError("x", russian, 1).Message();
  EXPECT_EQ(message.size(), std::string("Cannot create file \"x\". ").size() + 512);
}

TEST(StreamWriteError, HasItsFixedText) {
  EXPECT_EQ(StreamWriteError().Message(), "Stream write error");
}

TEST(WithFullStop, AddsAStopOnlyAfterCharactersAboveTheFullStop) {
  const std::pair<const char*, const char*> cases[] = {{"File not found", "File not found."},
                                                       {"", ""},
                                                       {"End.", "End."},
                                                       {"Wow!", "Wow!"},
                                                       {"(x)", "(x)"},
                                                       {"a,", "a,"},
                                                       {"a ", "a "},
                                                       {"I/O error 32", "I/O error 32."},
                                                       {"Why?", "Why?."},
                                                       {"Key:", "Key:."},
                                                       {"-", "-"},
                                                       {"\xD0\x96", "\xD0\x96."}};
  for (const auto& [message, shown] : cases) EXPECT_EQ(WithFullStop(message), shown) << message;
}

}  // namespace
}  // namespace orlaspin
