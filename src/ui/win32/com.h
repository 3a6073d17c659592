// COM for the kit's few calls into it (WIC, the folder dialog).
#pragma once

#include <windows.h>

namespace win32ui {

// Releases a COM interface when it goes.
template <typename T>
class Com {
 public:
  Com() = default;
  ~Com() {
    if (m_p) m_p->Release();
  }
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  T* operator->() const { return m_p; }
  T** out() { return &m_p; }
  T* get() const { return m_p; }

 private:
  T* m_p = nullptr;
};

// COM on this thread for one piece of work; left alone when the thread
// already runs it in another model.
class ComScope {
 public:
  ComScope() : m_result(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(m_result)) ::CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  bool usable() const { return SUCCEEDED(m_result) || m_result == RPC_E_CHANGED_MODE; }

 private:
  HRESULT m_result;
};

}  // namespace win32ui
