#include "export/job_pool.h"

namespace orlaspin {

JobPool::JobPool(int threads, std::size_t mostWaiting) : mostWaiting_(mostWaiting) {
  if (threads <= 1) return;
  threads_.reserve(static_cast<std::size_t>(threads));
  for (int i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
}

JobPool::~JobPool() {
  {
    const std::lock_guard lock(mutex_);
    closing_ = true;
  }
  changed_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void JobPool::Add(std::function<void()> job) {
  if (threads_.empty()) {
    job();
    return;
  }
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_.size() < mostWaiting_; });
    waiting_.push_back(std::move(job));
  }
  changed_.notify_all();
}

void JobPool::Work() {
  for (;;) {
    std::function<void()> job;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return closing_ || !waiting_.empty(); });
      if (waiting_.empty()) return;
      job = std::move(waiting_.front());
      waiting_.pop_front();
    }
    changed_.notify_all();
    job();
  }
}

TurnOrder::Turn TurnOrder::Take(std::size_t number) {
  std::unique_lock lock(mutex_);
  passed_.wait(lock, [this, number] { return current_ == number; });
  return Turn(*this);
}

void TurnOrder::Pass() {
  {
    const std::lock_guard lock(mutex_);
    ++current_;
  }
  passed_.notify_all();
}

}  // namespace orlaspin
