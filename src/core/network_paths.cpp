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
  std::vector<bool> Finished;  // per worker: all of its paths answered
  size_t ServersLeft = 0;
};

void TestServer(const std::shared_ptr<TAnswers>& answers, size_t worker, const TExistenceTest& test,
                const std::vector<std::pair<size_t, std::string>>& group) {
  for (const auto& [index, path] : group) {
    const bool found = test(path);
    const std::lock_guard lock(answers->Lock);
    answers->Results[index] = found ? TExistence::Found : TExistence::Missing;
  }
  const std::lock_guard lock(answers->Lock);
  answers->Finished[worker] = true;
  if (--answers->ServersLeft == 0) answers->Done.notify_all();
}

struct TWorker {
  std::thread Thread;
  std::shared_ptr<TAnswers> Answers;
  size_t Index = 0;

  bool HasFinished() const {
    const std::lock_guard lock(Answers->Lock);
    return Answers->Finished[Index];
  }
};

// Workers still asking after their call stopped waiting, joined by a later call once they have
// ended. Workers are joined, never detached: with MinGW's threads under Wine, about one run in
// 300 on a loaded machine lost a worker started beside detached ones before it asked anything.
class TLateWorkers {
 public:
  void Add(TWorker worker) {
    const std::lock_guard lock(Lock);
    Workers.push_back(std::move(worker));
  }
  void JoinFinished() {
    const std::lock_guard lock(Lock);
    std::erase_if(Workers, [](TWorker& worker) {
      if (!worker.HasFinished()) return false;
      worker.Thread.join();  // it is past its last answer: the join is short
      return true;
    });
  }
  size_t Count() {
    const std::lock_guard lock(Lock);
    return Workers.size();
  }

 private:
  std::mutex Lock;
  std::vector<TWorker> Workers;
};

// Never destroyed: the program may end while a worker still waits for its server, and
// destroying a thread that was neither joined nor detached ends the program.
TLateWorkers& LateWorkers() {
  static TLateWorkers* const late = new TLateWorkers;
  return *late;
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

  LateWorkers().JoinFinished();
  auto answers = std::make_shared<TAnswers>();
  answers->Results.assign(paths.size(), TExistence::NoAnswer);
  answers->Finished.assign(servers.size(), false);
  answers->ServersLeft = servers.size();
  std::vector<TWorker> workers;
  workers.reserve(servers.size());
  for (const auto& [server, group] : servers) {
    const size_t index = workers.size();
    try {
      workers.push_back({std::thread(TestServer, answers, index, test, group), answers, index});
    } catch (const std::system_error&) {
      // No thread to be had: asking here is slower but still gives the answer.
      TestServer(answers, index, test, group);
      workers.push_back({std::thread(), answers, index});
    }
  }
  std::vector<TExistence> results;
  {
    std::unique_lock lock(answers->Lock);
    answers->Done.wait_until(lock, deadline, [&] { return answers->ServersLeft == 0; });
    results = answers->Results;
  }
  for (TWorker& worker : workers) {
    if (!worker.Thread.joinable()) continue;
    if (worker.HasFinished())
      worker.Thread.join();
    else
      LateWorkers().Add(std::move(worker));
  }
  return results;
}

size_t LateNetworkWorkers() {
  LateWorkers().JoinFinished();
  return LateWorkers().Count();
}

}  // namespace pikrotta
