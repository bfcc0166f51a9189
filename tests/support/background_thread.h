// A thread that runs one function beside the test and is joined when it goes
// out of scope. Windows threads: the product's compilers use the win32 thread
// model, whose C++ library has no std::thread.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

class BackgroundThread {
 public:
  explicit BackgroundThread(std::function<void()> body) : body_(std::move(body)) {
    handle_ = CreateThread(nullptr, 0, &BackgroundThread::Start, this, 0, nullptr);
  }
  ~BackgroundThread() {
    if (handle_ == nullptr) return;
    WaitForSingleObject(handle_, INFINITE);
    CloseHandle(handle_);
  }
  BackgroundThread(const BackgroundThread&) = delete;
  BackgroundThread& operator=(const BackgroundThread&) = delete;

 private:
  static DWORD WINAPI Start(void* self) {
    static_cast<BackgroundThread*>(self)->body_();
    return 0;
  }
  std::function<void()> body_;
  HANDLE handle_ = nullptr;
};

// A critical section held for one scope at a time through Lock.
class CriticalSection {
 public:
  CriticalSection() { InitializeCriticalSection(&section_); }
  ~CriticalSection() { DeleteCriticalSection(&section_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  class Lock {
   public:
    explicit Lock(CriticalSection& owner) : owner_(owner) { EnterCriticalSection(&owner_.section_); }
    ~Lock() { LeaveCriticalSection(&owner_.section_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

   private:
    CriticalSection& owner_;
  };

 private:
  CRITICAL_SECTION section_;
};
