#include "TableService.h"

#include <exception>
#include <utility>

namespace kelvara {

namespace {

// Thrown from the progress callback to abandon a solve that nobody waits for any more.
struct SolveStopped {};

}  // namespace

TableService::TableService(int threads) : threads_(threads) {}

TableService::TableService(const SolvedTable& solved) : threads_(1), state_(State::Ready) {
    published_.store(&solved, std::memory_order_release);
}

TableService::~TableService() {
    Stop();
}

void TableService::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (state_ == State::Idle) state_ = State::Stopped;
    }
    stop_.store(true, std::memory_order_relaxed);
    if (worker_.joinable()) worker_.join();
}

void TableService::Start() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_ != State::Idle) return;
    state_ = State::Solving;
    own_ = std::make_unique<Solver>();
    worker_ = std::thread([this] { Run(); });
}

void TableService::Run() {
    bool solved = false;
    try {
        own_->Solve(threads_, Solver::kMaxTotal, [this](double) {
            if (stop_.load(std::memory_order_relaxed)) throw SolveStopped{};
        });
        solved = true;
    } catch (const SolveStopped&) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            state_ = State::Stopped;
        }
        finished_.notify_all();
        return;
    } catch (const std::exception&) {
        solved = false;
    }
    std::vector<std::function<void()>> callbacks;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (solved) published_.store(own_.get(), std::memory_order_release);
        state_ = solved ? State::Ready : State::Failed;
        callbacks.swap(callbacks_);
    }
    finished_.notify_all();
    if (!solved) return;
    for (auto& callback : callbacks) callback();
}

TableService::State TableService::CurrentState() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return state_;
}

const SolvedTable* TableService::Wait() {
    Start();
    std::unique_lock<std::mutex> lock(mutex_);
    finished_.wait(lock, [this] { return state_ != State::Solving; });
    return published_.load(std::memory_order_acquire);
}

void TableService::OnReady(std::function<void()> callback) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (state_ != State::Ready) {
            callbacks_.push_back(std::move(callback));
            return;
        }
    }
    callback();
}

}  // namespace kelvara
