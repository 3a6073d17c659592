// What the about box asks of the operating system: the memory figures and
// the shell that opens a web page or the mail program. The real one goes
// through the platform layer; tests hand in a recording fake.
#pragma once

#include <cstdint>
#include <string>

class AboutServices {
 public:
  struct Memory {
    std::uint64_t totalPhysicalBytes = 0;
    int loadPercent = 0;
  };

  virtual ~AboutServices() = default;
  virtual Memory memoryStatus() = 0;
  // Hands a web address or a mailto: link to the desktop's default program.
  virtual bool openInShell(const std::string& target) = 0;
};

// The operating system's services; lives as long as the program.
AboutServices& systemAboutServices();
