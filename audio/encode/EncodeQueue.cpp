#include "audio/encode/EncodeQueue.h"

namespace corvanel::audio::encode {

EncodeQueue::EncodeQueue(std::unique_ptr<EncoderOutput> output, Mode mode, std::size_t limitBytes)
    : output_(std::move(output)), mode_(mode), limitBytes_(limitBytes) {
    if (mode_ == Mode::Queued)
        worker_ = std::thread([this] { run(); });
}

EncodeQueue::~EncodeQueue() {
    finish();
}

bool EncodeQueue::write(const void* data, std::size_t bytes) {
    const auto* p = static_cast<const std::byte*>(data);
    if (mode_ == Mode::Direct) {
        std::lock_guard outputLock(outputMutex_);
        {
            std::lock_guard lock(mutex_);
            if (closing_ || !fault_.ok())
                return false;
        }
        if (bytes > 0 && p != nullptr)
            deliver({p, bytes});
        std::lock_guard lock(mutex_);
        return fault_.ok();
    }

    std::unique_lock lock(mutex_);
    room_.wait(lock, [&] {
        return closing_ || !fault_.ok() || pending_.empty() || limitBytes_ == 0 ||
               pendingBytes_ + bytes <= limitBytes_;
    });
    if (closing_ || !fault_.ok())
        return false;
    if (bytes > 0 && p != nullptr) {
        pending_.emplace_back(p, p + bytes);
        pendingBytes_ += bytes;
        wake_.notify_one();
    }
    return true;
}

void EncodeQueue::deliver(std::span<const std::byte> bytes) {
    EncodeResult r = output_->write(bytes);
    std::lock_guard lock(mutex_);
    if (r.ok())
        delivered_ += static_cast<std::int64_t>(bytes.size());
    else if (fault_.ok())
        fault_ = std::move(r);
}

void EncodeQueue::run() {
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return closing_ || !pending_.empty(); });
        if (pending_.empty())
            break; // closing and drained
        std::vector<std::byte> block = std::move(pending_.front());
        pending_.pop_front();
        if (!fault_.ok()) {
            pending_.clear();
            pendingBytes_ = 0;
            room_.notify_all();
            continue;
        }
        lock.unlock();
        {
            std::lock_guard outputLock(outputMutex_);
            deliver(block);
        }
        lock.lock();
        pendingBytes_ -= block.size();
        room_.notify_all();
    }
}

EncodeResult EncodeQueue::finish() {
    std::lock_guard finishLock(finishMutex_);
    {
        std::lock_guard lock(mutex_);
        if (finished_)
            return *finished_;
        closing_ = true;
    }
    wake_.notify_one();
    room_.notify_all();
    if (worker_.joinable())
        worker_.join();

    EncodeResult ended;
    {
        std::lock_guard outputLock(outputMutex_);
        ended = output_->finish();
    }
    std::lock_guard lock(mutex_);
    // A program that failed explains a broken pipe better than the pipe does.
    if (!ended.ok() && (fault_.ok() || ended.fault == EncodeFault::ProgramFailed))
        finished_ = ended;
    else
        finished_ = fault_;
    // What the program said explains a broken pipe too.
    if (!finished_->ok() && finished_->programMessages.empty())
        finished_->programMessages = ended.programMessages;
    return *finished_;
}

void EncodeQueue::setLimit(std::size_t limitBytes) {
    {
        std::lock_guard lock(mutex_);
        limitBytes_ = limitBytes;
    }
    room_.notify_all();
}

std::int64_t EncodeQueue::bytesDelivered() const {
    std::lock_guard lock(mutex_);
    return delivered_;
}

} // namespace corvanel::audio::encode
