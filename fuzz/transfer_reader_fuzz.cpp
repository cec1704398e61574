// Feeds arbitrary bytes to the transfer-file reader, whole and in pieces: the reader must not
// crash, and where the input is cut into chunks must not change the model.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "transfer_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t piece = 1 + data[0] % 64;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

  pikrotta::TJwwGaibu whole;
  pikrotta::TTransferLineFeeder wholeFeeder(whole);
  wholeFeeder.Feed(text);
  wholeFeeder.Finish();

  pikrotta::TJwwGaibu pieces;
  pikrotta::TTransferLineFeeder pieceFeeder(pieces);
  for (size_t i = 0; i < text.size(); i += piece) pieceFeeder.Feed(text.substr(i, piece));
  pieceFeeder.Finish();

  if (!(whole == pieces)) std::abort();
  return 0;
}
