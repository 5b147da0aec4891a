// A byte buffer that input is read into: growing it leaves the new bytes as they
// were, since the read that follows overwrites them (a std::string would set
// every block to zero first).
#pragma once

#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace tabulon {

template <typename T>
struct UninitializedAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = UninitializedAllocator<U>;
    };
    UninitializedAllocator() = default;
    template <typename U>
    explicit UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}
    template <typename U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

using ReadBuffer = std::vector<char, UninitializedAllocator<char>>;

}  // namespace tabulon
