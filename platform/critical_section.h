#pragma once
#include <mutex>

namespace platform
{
// A Windows critical section: re-entrant for the owning thread.
class critical_section
{
  public:
    void enter() { mutex.lock(); }
    bool try_enter() { return mutex.try_lock(); }
    void leave() { mutex.unlock(); }

  private:
    std::recursive_mutex mutex;
};

class scoped_critical_section
{
  public:
    explicit scoped_critical_section(critical_section& cs) : section(cs) { section.enter(); }
    ~scoped_critical_section() { section.leave(); }
    scoped_critical_section(const scoped_critical_section&) = delete;
    scoped_critical_section& operator=(const scoped_critical_section&) = delete;

  private:
    critical_section& section;
};
} // namespace platform
