// A transfer file read on a thread of its own into a model of its own, so that the window can
// show itself and its progress while a large drawing is read.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <string>

#include "host_services.h"
#include "jww_model.h"
#include "main_window.h"

namespace pikrotta::win32 {

class TBackgroundRead {
 public:
  // Starts reading file (null: no file, an empty drawing); onDone runs on the reading thread
  // when the model is complete. utf8 must outlive the reading.
  TBackgroundRead(std::unique_ptr<TInputFile> file, const TTextConverter& utf8,
                  std::function<void()> onDone);
  // Stops the reading at its next read of the file and waits for it.
  ~TBackgroundRead();
  TBackgroundRead(const TBackgroundRead&) = delete;
  TBackgroundRead& operator=(const TBackgroundRead&) = delete;

  bool Done(std::chrono::milliseconds wait) const;
  std::string ProgressText() const;  // for LabelA1
  // The model read; waits for it. What was read before running out of memory, or an empty
  // drawing, when the reading failed.
  TJwwGaibu Take();
  // What went wrong with the file, once Take has returned.
  TReadProblem Problem() const { return Trouble; }

 private:
  std::atomic<bool> Stop{false};
  std::atomic<int64_t> BytesRead{0};
  const int64_t FileSize;
  TReadProblem Trouble = TReadProblem::None;  // written by the reading, read after Take
  std::future<TJwwGaibu> Result;
};

}  // namespace pikrotta::win32
