#include "platform/fatalsignal.h"

#ifndef _WIN32
#include <signal.h>
#include <unistd.h>

#include <cstddef>

#endif

namespace platform {

const char kBusErrorMessage[] =
    "upgrade-devir: Beklenmeyen hata: bir dosya okunamadı (disk veya ağ bağlantısı okuma "
    "sırasında yanıt vermedi). İşlem yarıda kesildi. Diski ve bağlantıyı denetleyip işlemi "
    "yeniden başlatınız.\n";

#ifndef _WIN32
namespace {

extern "C" void onBusError(int) {
  // Only what a signal handler may call: write and _exit.
  const char* p = kBusErrorMessage;
  std::size_t left = sizeof kBusErrorMessage - 1;
  while (left > 0) {
    const ssize_t n = ::write(STDERR_FILENO, p, left);
    if (n <= 0) break;
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  ::_exit(2);
}

}  // namespace

void installBusErrorHandler() {
  struct sigaction action {};
  action.sa_handler = onBusError;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGBUS, &action, nullptr);
}
#else
void installBusErrorHandler() {}
#endif

}  // namespace platform
