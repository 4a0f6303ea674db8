// GoogleTest's Notification is built on std::mutex, which the win32 thread model of mingw-w64
// does not have. This stands in for it (force-included into GoogleTest and the test programs of
// the Windows build): a manual-reset event does the same job.
#ifndef MOSAIQ_TESTS_WIN32_GTEST_NOTIFICATION_H
#define MOSAIQ_TESTS_WIN32_GTEST_NOTIFICATION_H

#ifdef __cplusplus
#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
 public:
  Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  ~Notification() { CloseHandle(event_); }
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { SetEvent(event_); }
  void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

 private:
  HANDLE event_;
};

}  // namespace internal
}  // namespace testing
#endif

#endif
