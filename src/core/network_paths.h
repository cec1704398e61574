// Existence tests of network paths that never keep the caller waiting past a bound: on Windows
// a question about a file on an unreachable server blocks for the SMB time-out (tens of
// seconds), and the window would stop answering the user for as long.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pikrotta {

enum class TExistence : uint8_t { Missing, Found, NoAnswer };

// How long the search waits for the servers of a drawing, all of them asked at once.
constexpr std::chrono::milliseconds kNetworkAnswerBound{3000};

// The "\\server" a network path starts with; the whole path when it names no server.
std::string NetworkServerOf(const std::string& path);

// Whether the file at a path exists. It runs on a worker thread and may still be running after
// its answer came too late, so it must hold nothing that can go before it returns.
using TExistenceTest = std::function<bool(const std::string& path)>;

// Tests the paths of each server in turn on a worker of its own, every server at once, and
// returns after bound at the latest: a path not answered by then is NoAnswer.
std::vector<TExistence> TestPathsWithin(const std::vector<std::string>& paths,
                                        const TExistenceTest& test,
                                        std::chrono::milliseconds bound);

// How many workers of earlier calls are still asking their servers, after joining those that
// have ended since.
size_t LateNetworkWorkers();

}  // namespace pikrotta
