// Reads transfer-file text given as bytes, the way the program reads the file.
#pragma once

#include <string_view>

#include "jww_model.h"
#include "transfer_reader.h"

namespace pikrotta::test {

inline TJwwGaibu ReadTransferText(std::string_view text) {
  TJwwGaibu model;
  TTransferLineFeeder feeder(model);
  feeder.Feed(text);
  feeder.Finish();
  return model;
}

}  // namespace pikrotta::test
