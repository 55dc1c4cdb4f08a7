// Running jobs on a few threads, and letting their steps that must not race take turns.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace orlaspin {

// Runs the jobs added, in the order added, on threads of its own; with one thread, in the
// caller's thread at once. At most mostWaiting jobs wait for a thread, so that a producer faster
// than the jobs holds a bounded amount of their data. Jobs must not throw.
class JobPool {
 public:
  JobPool(int threads, std::size_t mostWaiting);
  // Waits for every job added.
  ~JobPool();
  JobPool(const JobPool&) = delete;
  JobPool& operator=(const JobPool&) = delete;

  // Blocks while mostWaiting jobs are waiting.
  void Add(std::function<void()> job);

 private:
  void Work();

  std::size_t mostWaiting_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::function<void()>> waiting_;
  bool closing_ = false;
  std::vector<std::thread> threads_;
};

// Steps numbered 0, 1, 2, ... taken one at a time in number order, whichever threads they run on.
// Every number must be taken once, or the later ones wait for ever.
class TurnOrder {
 public:
  // The turn of one step: held from Take until destroyed.
  class Turn {
   public:
    explicit Turn(TurnOrder& order) : order_(order) {}
    ~Turn() { order_.Pass(); }
    Turn(const Turn&) = delete;
    Turn& operator=(const Turn&) = delete;

   private:
    TurnOrder& order_;
  };

  // Waits until every step before number has passed its turn.
  [[nodiscard]] Turn Take(std::size_t number);

 private:
  void Pass();

  std::mutex mutex_;
  std::condition_variable passed_;
  std::size_t current_ = 0;
};

}  // namespace orlaspin
