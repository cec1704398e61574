#include "network_paths.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

namespace pikrotta {
namespace {

using namespace std::chrono_literals;

TEST(NetworkServerOf, IsTheServerPartOfAPath) {
  const struct {
    const char* path;
    const char* server;
  } cases[] = {
      {"\\\\srv\\share\\a.bmp", "\\\\srv"},
      {"\\\\srv", "\\\\srv"},
      {"C:\\x\\\\srv\\a.bmp", "\\\\srv"},  // listed as a network path, asked as one
      {"a.bmp", "a.bmp"},
      {"\\\\?\\UNC\\srv\\share\\a.bmp", "\\\\srv"},
  };
  for (const auto& c : cases) EXPECT_EQ(NetworkServerOf(c.path), c.server) << c.path;
}

// Existence tests that the test opens and closes by hand. The state is shared with the
// workers, which may outlive a call that stopped waiting for them.
struct TGate {
  std::mutex Lock;
  std::condition_variable Changed;
  bool Open = false;
  std::set<std::string> Entered;  // servers whose test has started

  void Enter(const std::string& server) {
    const std::lock_guard lock(Lock);
    Entered.insert(server);
    Changed.notify_all();
  }
  void WaitOpen() {
    std::unique_lock lock(Lock);
    Changed.wait(lock, [&] { return Open; });
  }
  bool WaitEntered(const std::string& server) {
    std::unique_lock lock(Lock);
    return Changed.wait_for(lock, 20s, [&] { return Entered.count(server) > 0; });
  }
  void Release() {
    const std::lock_guard lock(Lock);
    Open = true;
    Changed.notify_all();
  }
};

TEST(TestPathsWithin, AServerThatDoesNotAnswerCostsTheBoundAndNoMore) {
  auto gate = std::make_shared<TGate>();
  const TExistenceTest test = [gate](const std::string& path) {
    if (NetworkServerOf(path) == "\\\\silent") gate->WaitOpen();
    return path.ends_with("found.bmp");
  };
  const std::vector<std::string> paths = {
      "\\\\silent\\s\\found.bmp", "\\\\up\\s\\found.bmp", "\\\\up\\s\\gone.bmp",
      "\\\\silent\\s\\other.bmp",  // behind the first on the same server
  };
  const std::vector<TExistence> answers = TestPathsWithin(paths, test, 1s);
  // It returned while the silent server's test is still held.
  gate->Release();
  EXPECT_EQ(answers, (std::vector<TExistence>{TExistence::NoAnswer, TExistence::Found,
                                              TExistence::Missing, TExistence::NoAnswer}));
}

// A worker past the bound is kept, not let go, and a later call joins it once it has answered.
TEST(TestPathsWithin, ALateWorkerIsJoinedOnceItHasAnswered) {
  auto gate = std::make_shared<TGate>();
  const TExistenceTest test = [gate](const std::string&) {
    gate->WaitOpen();
    return true;
  };
  const std::vector<TExistence> answers = TestPathsWithin({"\\\\silent\\s\\a.bmp"}, test, 10ms);
  EXPECT_EQ(answers, std::vector<TExistence>{TExistence::NoAnswer});
  EXPECT_GE(LateNetworkWorkers(), 1u);
  gate->Release();
  const auto deadline = std::chrono::steady_clock::now() + 20s;
  while (LateNetworkWorkers() > 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(1ms);
  EXPECT_EQ(LateNetworkWorkers(), 0u);
}

TEST(TestPathsWithin, ServersAreAskedAtOnce) {
  // Each server's test waits for the other's to start: one after the other, neither answers.
  auto gate = std::make_shared<TGate>();
  const TExistenceTest test = [gate](const std::string& path) {
    const std::string server = NetworkServerOf(path);
    gate->Enter(server);
    return gate->WaitEntered(server == "\\\\a" ? "\\\\b" : "\\\\a");
  };
  const std::vector<TExistence> answers =
      TestPathsWithin({"\\\\a\\s\\1.bmp", "\\\\b\\s\\2.bmp"}, test, 10s);
  EXPECT_EQ(answers, (std::vector<TExistence>{TExistence::Found, TExistence::Found}));
}

TEST(TestPathsWithin, NoPathsAskNothing) {
  bool asked = false;
  EXPECT_TRUE(TestPathsWithin(
                  {}, [&](const std::string&) { return asked = true; }, 1s)
                  .empty());
  EXPECT_FALSE(asked);
}

}  // namespace
}  // namespace pikrotta
