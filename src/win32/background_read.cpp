#include "background_read.h"

#include "main_window.h"
#include "transfer_reader.h"

namespace pikrotta::win32 {

TBackgroundRead::TBackgroundRead(std::unique_ptr<TInputFile> file, const TTextConverter& utf8,
                                 std::function<void()> onDone)
    : FileSize(file ? file->Size() : -1) {
  Result = std::async(
      std::launch::async, [this, file = std::move(file), &utf8, onDone = std::move(onDone)] {
        TJwwGaibu model;
        if (file) {
          TLineEndWatch watched(*file);
          const bool whole = ReadTransferFile(model, watched, &utf8, [this](int64_t bytes) {
            BytesRead = bytes;
            return !Stop;
          });
          Trouble = ReadProblemOf(whole || Stop, watched, model);
        }
        if (onDone) onDone();
        return model;
      });
}

TBackgroundRead::~TBackgroundRead() {
  Stop = true;
  if (Result.valid()) Result.wait();
}

bool TBackgroundRead::Done(std::chrono::milliseconds wait) const {
  return Result.wait_for(wait) == std::future_status::ready;
}

std::string TBackgroundRead::ProgressText() const {
  return ReadingProgressText(BytesRead, FileSize);
}

TJwwGaibu TBackgroundRead::Take() {
  try {
    return Result.get();
  } catch (...) {
    return TJwwGaibu{};
  }
}

}  // namespace pikrotta::win32
