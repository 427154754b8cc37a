#pragma once

#include "adapters/win32/WindowsApi.h"

#include <unknwn.h>
#include <utility>

// One counted reference to a COM object, released when the holder goes out of scope, so that no
// path out of an automation call (including a thrown RuntimeError) leaks an object of the
// presentation application.
//
// Owns: exactly one reference to the object it points at. It does not own the apartment.
namespace slidevane {

template <class T> class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr& other) : object_(other.object_) {
        if (object_) {
            object_->AddRef();
        }
    }
    ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }

    // Takes over a reference the caller already owns (an out parameter's result).
    static ComPtr Adopt(T* object) {
        ComPtr result;
        result.object_ = object;
        return result;
    }

    T* Get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

    // The slot for an out parameter; whatever was held before is released first.
    T** Receive() {
        Reset();
        return &object_;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

    void Reset() {
        if (object_) {
            std::exchange(object_, nullptr)->Release();
        }
    }

private:
    T* object_ = nullptr;
};

} // namespace slidevane
