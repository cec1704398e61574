#include "network_paths.h"

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>

namespace pikrotta {

namespace {

// What the workers and the waiting caller share; a worker that is late keeps it alive.
struct TAnswers {
  std::mutex Lock;
  std::condition_variable Done;
  std::vector<TExistence> Results;
  size_t ServersLeft = 0;
};

void TestServer(const std::shared_ptr<TAnswers>& answers, const TExistenceTest& test,
                const std::vector<std::pair<size_t, std::string>>& group) {
  for (const auto& [index, path] : group) {
    const bool found = test(path);
    const std::lock_guard lock(answers->Lock);
    answers->Results[index] = found ? TExistence::Found : TExistence::Missing;
  }
  const std::lock_guard lock(answers->Lock);
  if (--answers->ServersLeft == 0) answers->Done.notify_all();
}

}  // namespace

std::string NetworkServerOf(const std::string& path) {
  constexpr std::string_view kLongUnc = "\\\\?\\UNC\\";  // \\?\UNC\server\share
  if (path.size() > kLongUnc.size() && path.starts_with(kLongUnc)) {
    const size_t end = path.find('\\', kLongUnc.size());
    return "\\\\" + path.substr(kLongUnc.size(), end == std::string::npos ? std::string::npos
                                                                          : end - kLongUnc.size());
  }
  const size_t start = path.find("\\\\");
  if (start == std::string::npos) return path;
  // A server name is ASCII in practice; a backslash inside a Shift-JIS character is a trail
  // byte only after a lead byte, which a name of letters, digits, dots and hyphens never has.
  const size_t end = path.find('\\', start + 2);
  return path.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::vector<TExistence> TestPathsWithin(const std::vector<std::string>& paths,
                                        const TExistenceTest& test,
                                        std::chrono::milliseconds bound) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  std::map<std::string, std::vector<std::pair<size_t, std::string>>> servers;
  for (size_t i = 0; i < paths.size(); ++i)
    servers[NetworkServerOf(paths[i])].emplace_back(i, paths[i]);

  auto answers = std::make_shared<TAnswers>();
  answers->Results.assign(paths.size(), TExistence::NoAnswer);
  answers->ServersLeft = servers.size();
  for (const auto& [server, group] : servers) {
    try {
      std::thread(TestServer, answers, test, group).detach();
    } catch (const std::system_error&) {
      // No thread to be had: asking here is slower but still gives the answer.
      TestServer(answers, test, group);
    }
  }
  std::unique_lock lock(answers->Lock);
  answers->Done.wait_until(lock, deadline, [&] { return answers->ServersLeft == 0; });
  return answers->Results;
}

}  // namespace pikrotta
