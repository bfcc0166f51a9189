#include "host/signature_checker.h"

#include <windows.h>

#include <deque>
#include <utility>

#include "host/scoped_handles.h"

namespace {

struct Job {
  int id;
  Text path;
};

// Shared by the window's thread and the checking thread, everything under
// the lock. Never destroyed: the checking thread may still be inside a check
// while the program's static objects are torn down at exit.
class CheckQueue {
 public:
  CheckQueue() : work_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) { InitializeCriticalSection(&lock_); }

  void Add(Job job) {
    Locked locked(*this);
    waiting_.push_back(std::move(job));
    StartThreadOnce();
    UpdateWorkSignal();
  }

  void SetMayRun(bool mayRun) {
    Locked locked(*this);
    mayRun_ = mayRun;
    UpdateWorkSignal();
  }

  void AddUrgent(int change) {
    Locked locked(*this);
    urgent_ += change;
    UpdateWorkSignal();
  }

  std::vector<SignatureCheck> TakeFindings() {
    if (!threadStarted_) CheckOneHere();
    Locked locked(*this);
    std::vector<SignatureCheck> findings;
    findings.swap(findings_);
    return findings;
  }

 private:
  class Locked {
   public:
    explicit Locked(CheckQueue& queue) : queue_(queue) { EnterCriticalSection(&queue_.lock_); }
    ~Locked() { LeaveCriticalSection(&queue_.lock_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

   private:
    CheckQueue& queue_;
  };

  bool MayStartOne() const { return !waiting_.empty() && (mayRun_ || urgent_ > 0); }

  // Under the lock: the thread sleeps on the signal while nothing may start.
  void UpdateWorkSignal() {
    if (MayStartOne()) {
      SetEvent(work_.Get());
    } else {
      ResetEvent(work_.Get());
    }
  }

  // Under the lock.
  void StartThreadOnce() {
    if (threadTried_ || !work_.IsValid()) return;
    threadTried_ = true;
    ScopedHandle thread(CreateThread(nullptr, 0, &CheckQueue::ThreadMain, this, 0, nullptr));
    if (!thread.IsValid()) return;
    // The window's thread comes first whenever both want the processor.
    SetThreadPriority(thread.Get(), THREAD_PRIORITY_BELOW_NORMAL);
    threadStarted_ = true;
  }

  bool TakeJob(Job& job) {
    Locked locked(*this);
    const bool take = MayStartOne();
    if (take) {
      job = std::move(waiting_.front());
      waiting_.pop_front();
    }
    UpdateWorkSignal();
    return take;
  }

  void Check(const Job& job) {
    SignatureCheck done{job.id, CheckFileSignature(job.path)};
    Locked locked(*this);
    findings_.push_back(std::move(done));
  }

  // Without a thread the caller's thread does the work, a file at a time.
  void CheckOneHere() {
    Job job;
    if (TakeJob(job)) Check(job);
  }

  static DWORD WINAPI ThreadMain(void* self) {
    auto& queue = *static_cast<CheckQueue*>(self);
    for (;;) {
      WaitForSingleObject(queue.work_.Get(), INFINITE);
      Job job;
      if (queue.TakeJob(job)) queue.Check(job);
    }
  }

  CRITICAL_SECTION lock_;
  ScopedHandle work_;   // manual reset: set while a waiting check may start
  std::deque<Job> waiting_;
  std::vector<SignatureCheck> findings_;
  bool mayRun_ = false;
  int urgent_ = 0;
  bool threadTried_ = false;
  bool threadStarted_ = false;
};

CheckQueue& Queue() {
  static CheckQueue* const queue = new CheckQueue;
  return *queue;
}

}  // namespace

void QueueSignatureCheck(int id, const Text& path) { Queue().Add({id, path}); }

void LetSignatureChecksRun(bool run) { Queue().SetMayRun(run); }

UrgentSignatureChecks::UrgentSignatureChecks() { Queue().AddUrgent(+1); }
UrgentSignatureChecks::~UrgentSignatureChecks() { Queue().AddUrgent(-1); }

std::vector<SignatureCheck> TakeSignatureFindings() { return Queue().TakeFindings(); }
