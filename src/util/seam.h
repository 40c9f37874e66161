// The one way a dependency on the outside world is replaced in tests.
//
// Code that needs the registry, the shell, the processor-load source, the
// machine under the processor library (...) asks Seam<Interface>::Get().  That
// is the real implementation unless a ScopedOverride<Interface> is alive, in
// which case it is that override's object (the innermost one when several are
// nested).  Each interface has one real implementation, defined beside it as
// the specialisation Seam<Interface>::Real() (mostly through ZT_SEAM_REAL
// below), and one fake for tests.
//
//   FakeRegistry registry;
//   ScopedOverride<IRegistry> use(registry);   // until the end of the scope
//
// The override pointer is atomic: a sampling thread may read the seam while
// the user-interface thread runs; tests install overrides before starting
// threads and remove them after stopping them.  Portable.
#pragma once

#include <atomic>

namespace zt {

template <typename Interface>
class ScopedOverride;

template <typename Interface>
class Seam {
 public:
  static Interface& Get() {
    Interface* replaced = override_.load(std::memory_order_acquire);
    return replaced ? *replaced : Real();
  }
  // The real implementation; specialised once per interface.
  static Interface& Real();
  static bool Overridden() { return override_.load(std::memory_order_acquire) != nullptr; }

 private:
  friend class ScopedOverride<Interface>;
  static inline std::atomic<Interface*> override_{nullptr};
};

template <typename Interface>
class ScopedOverride {
 public:
  explicit ScopedOverride(Interface& replacement)
      : previous_(Seam<Interface>::override_.exchange(&replacement, std::memory_order_acq_rel)) {}
  ~ScopedOverride() { Seam<Interface>::override_.store(previous_, std::memory_order_release); }
  ScopedOverride(const ScopedOverride&) = delete;
  ScopedOverride& operator=(const ScopedOverride&) = delete;

 private:
  Interface* previous_;
};

// The usual real implementation: one object of `Class`, made on its first
// use (thread-safe as a function-local static).  Written inside namespace zt,
// beside the class:
//   ZT_SEAM_REAL(IRegistry, WinRegistry)
#define ZT_SEAM_REAL(Interface, Class) \
  template <>                          \
  Interface& Seam<Interface>::Real() { \
    static Class real;                 \
    return real;                       \
  }

}  // namespace zt
