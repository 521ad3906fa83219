// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Small owners for the handles and COM objects the face makes: each one
// releases what it holds exactly once, when it is reset or goes out of scope.

#include <windows.h>

#include <utility>

namespace win32 {

template <typename Handle, void (*release)(Handle)> class Owned {
  public:
    Owned() = default;
    explicit Owned(Handle handle) : m_handle(handle) {}
    ~Owned() { reset(); }
    Owned(Owned&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other)
            reset(std::exchange(other.m_handle, nullptr));
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    Handle get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void reset(Handle handle = nullptr) {
        if (m_handle)
            release(m_handle);
        m_handle = handle;
    }

  private:
    Handle m_handle = nullptr;
};

namespace detail {
inline void deleteFont(HFONT font) {
    DeleteObject(font);
}
inline void deleteBrush(HBRUSH brush) {
    DeleteObject(brush);
}
inline void destroyWindow(HWND window) {
    DestroyWindow(window);
}
inline void destroyIcon(HICON icon) {
    DestroyIcon(icon);
}
} // namespace detail

using Font = Owned<HFONT, detail::deleteFont>;
using Brush = Owned<HBRUSH, detail::deleteBrush>;
using Window = Owned<HWND, detail::destroyWindow>;
using Icon = Owned<HICON, detail::destroyIcon>;

// One reference to a COM object.
template <typename Interface> class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(ComPtr&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            m_object = std::exchange(other.m_object, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    Interface* get() const { return m_object; }
    Interface* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    // For the functions that hand out a new reference.
    Interface** put() {
        reset();
        return &m_object;
    }
    void reset() {
        if (m_object)
            std::exchange(m_object, nullptr)->Release();
    }

  private:
    Interface* m_object = nullptr;
};

} // namespace win32
