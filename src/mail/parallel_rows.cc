#include "mail/parallel_rows.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "mail/conversion_limits.h"

namespace tabulon {
namespace {

constexpr size_t kBatchMessages = 256;
constexpr size_t kBatchBytes = 1 << 20;
// Messages in flight, in bytes, past which no new batch begins: a few large
// messages at once cost several times their size while they are decoded.
constexpr size_t kInFlightBytes = size_t{16} << 20;

// Batches are used again once their rows are written, so that the strings of
// their messages and cells keep their buffers.
struct Batch {
    std::vector<std::string> messages;  // the first `count` are this batch's
    std::vector<char> tooLarge;         // per message: let go by the splitter
    std::vector<MessageRow> rows;
    size_t count = 0;
    size_t bytes = 0;
    bool done = false;
};

// Batches waiting for a worker, and the signal that one is done.
class WorkQueue {
  public:
    void push(Batch* batch) {
        std::lock_guard<std::mutex> lock(mutex_);
        waiting_.push_back(batch);
        work_.notify_one();
    }
    // Null when the queue is closed and empty.
    Batch* pop() {
        std::unique_lock<std::mutex> lock(mutex_);
        work_.wait(lock, [&] { return closed_ || !waiting_.empty(); });
        if (waiting_.empty()) return nullptr;
        Batch* batch = waiting_.front();
        waiting_.pop_front();
        return batch;
    }
    void finish(Batch* batch) {
        std::lock_guard<std::mutex> lock(mutex_);
        batch->done = true;
        done_.notify_all();
    }
    void waitFor(const Batch* batch) {
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [&] { return batch->done; });
    }
    void close() {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
        work_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable work_;
    std::condition_variable done_;
    std::deque<Batch*> waiting_;
    bool closed_ = false;
};

// Workers that stop and are joined when this goes, whatever way the run ends.
class Workers {
  public:
    Workers(WorkQueue& queue, const MessageRows& rows, unsigned count) : queue_(queue) {
        for (unsigned i = 0; i < count; ++i) {
            threads_.emplace_back([this, maker = rows.newRowMaker()] {
                while (Batch* batch = queue_.pop()) {
                    batch->rows.resize(batch->count);
                    for (size_t m = 0; m < batch->count; ++m)
                        maker->make(batch->messages[m], &batch->rows[m], batch->tooLarge[m]);
                    queue_.finish(batch);
                }
            });
        }
    }
    ~Workers() {
        queue_.close();
        for (std::thread& thread : threads_)
            thread.join();
    }

  private:
    WorkQueue& queue_;
    std::vector<std::thread> threads_;
};

}  // namespace

Status convertInParallel(MessageSplitter& splitter, std::string_view inputName, MessageRows& rows,
                         const RowFn& onRow, const ProgressFn& progress, unsigned threads) {
    WorkQueue queue;
    std::deque<std::unique_ptr<Batch>> inFlight;  // in input order
    std::vector<std::unique_ptr<Batch>> unused;
    // Declared after the batches so that the workers stop before the batches go.
    Workers workers(queue, rows, threads);
    const size_t maxInFlight = 2 * threads;
    uint64_t reported = 0;
    size_t inFlightBytes = 0;
    bool ended = false;
    while (!ended || !inFlight.empty()) {
        if (!ended && inFlight.size() < maxInFlight &&
            (inFlight.empty() || inFlightBytes < kInFlightBytes)) {
            std::unique_ptr<Batch> batch;
            if (unused.empty()) {
                batch = std::make_unique<Batch>();
            } else {
                batch = std::move(unused.back());
                unused.pop_back();
            }
            batch->count = 0;
            batch->done = false;
            size_t bytes = 0;
            while (batch->count < kBatchMessages && bytes < kBatchBytes) {
                if (batch->messages.size() == batch->count) {
                    batch->messages.emplace_back();
                    batch->tooLarge.push_back(false);
                }
                std::string& message = batch->messages[batch->count];
                bool found = false;
                bool tooLarge = false;
                Status status = splitter.next(&message, &found, &tooLarge);
                batch->tooLarge[batch->count] = tooLarge;
                if (!status.ok()) return status;
                if (!found) {
                    ended = true;
                    break;
                }
                bytes += message.size();
                ++batch->count;
            }
            batch->bytes = bytes;
            inFlightBytes += bytes;
            if (batch->count > 0) {
                queue.push(batch.get());
                inFlight.push_back(std::move(batch));
            }
            continue;
        }
        Batch* oldest = inFlight.front().get();
        queue.waitFor(oldest);
        for (size_t m = 0; m < oldest->count; ++m) {
            MessageRow& row = oldest->rows[m];
            rows.record(row, inputName);
            if (row.skipped != Skip::kNone) continue;
            Status status = onRow(row.cells);
            if (!status.ok()) return status;
            rows.countWritten();
        }
        inFlightBytes -= oldest->bytes;
        // A batch waiting to be used again keeps no large message.
        for (size_t m = 0; m < oldest->count; ++m) {
            if (oldest->messages[m].capacity() > kKeptBytes) {
                std::string().swap(oldest->messages[m]);
                oldest->rows[m] = MessageRow();
            }
        }
        unused.push_back(std::move(inFlight.front()));
        inFlight.pop_front();
        if (progress && splitter.bytesRead() - reported >= kProgressStep) {
            reported = splitter.bytesRead();
            progress(reported, splitter.sourceSize());
        }
    }
    return Status::Ok();
}

}  // namespace tabulon
