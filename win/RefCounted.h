#pragma once
// The one atomic reference count of an engine or client object implementing
// one or more of the engine's counted interfaces (AddRef, Release returning
// whether the object went away, HasOneRef). The object deletes itself with its
// last reference.
#include <atomic>

namespace kvwin {

template <class... Interfaces>
class RefCounted : public Interfaces... {
public:
    void AddRef() const override { m_count.fetch_add(1, std::memory_order_relaxed); }
    bool Release() const override {
        if (m_count.fetch_sub(1, std::memory_order_acq_rel) != 1) return false;
        delete this;
        return true;
    }
    bool HasOneRef() const override { return m_count.load(std::memory_order_acquire) == 1; }

private:
    mutable std::atomic<int> m_count{0};
};

}  // namespace kvwin
