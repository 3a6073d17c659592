#include "ui/aboutservices.h"

#include "platform/memory.h"
#include "platform/shell.h"

namespace {

class SystemAboutServices final : public AboutServices {
 public:
  Memory memoryStatus() override {
    const platform::MemoryStatus status = platform::memoryStatus();
    return {status.totalPhysicalBytes, status.loadPercent};
  }
  bool openInShell(const std::string& target) override { return platform::openInShell(target); }
};

}  // namespace

AboutServices& systemAboutServices() {
  static SystemAboutServices services;
  return services;
}
