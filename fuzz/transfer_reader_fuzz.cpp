// Feeds arbitrary bytes to the transfer-file reader, whole and in pieces: the reader must not
// crash, and neither where the input is cut into chunks nor reading lines ahead may change the
// model.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

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

  pikrotta::TJwwGaibu ahead;
  pikrotta::TTransferLineFeeder aheadFeeder(ahead);
  for (size_t i = 0; i < text.size(); i += piece) {
    const std::string_view chunk = text.substr(i, piece);
    const std::vector<pikrotta::TLineAhead> lines = pikrotta::ReadLinesAhead(chunk);
    aheadFeeder.Feed(chunk, &lines);
  }
  aheadFeeder.Finish();
  if (!(whole == ahead)) std::abort();
  return 0;
}
