#include "jobs/filesetcopy.h"

#include "jobs/runhost.h"
#include "jobs/workspace.h"
#include "platform/files.h"
#include "platform/paths.h"

const std::array<const char*, 38> kCarryForwardMasks = {
    "cari.*",     "char.*",     "stok.*",     "ceksen.*",  "doviz.*",  "banka.*",   "uretim.*",
    "urhar.*",    "personel.*", "s_grup.*",   "c_grup.*",  "f_grup.*", "garson.*",  "masa.*",
    "yardgars.*", "yemfirma.*", "sfs.*",      "afs.*",     "dizayn.*", "ayar.*",    "ayar2.*",
    "ayar3.*",    "yedek.*",    "t_grup.*",   "k_grup.*",  "a_grup.*", "tssabit.*", "hatlar.*",
    "noktalar.*", "sofor.*",    "gen_ayar.*", "fisayar.*", "sablon.*", "alanlar.*", "serino.*",
    "sipsbt.*",   "tssabit.*",  "taksit.*",
};

namespace {

// Characters of a UTF-8 text (the window counts characters, not bytes).
std::size_t characterCount(const std::string& text) {
  std::size_t count = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++count;
  return count;
}

}  // namespace

bool CopyFileSet(RunHost& host, const std::vector<std::string>& names, const std::string& source,
                 const std::string& target, bool overwrite) {
  if (names.empty()) return false;
  if (!platform::directoryExists(source)) return false;
  if (!platform::directoryExists(target)) {
    if (!overwrite) return false;
    if (characterCount(target) < 4) {
      InfoBox(host, "Bir dizin adı belirtmelisiniz\r\nAna dizin seçilemez");
      return false;
    }
    if (!platform::createDirectories(target)) return false;
  }
  for (const std::string& name : names) {
    // Missing source files and kept targets are the only failures passed over.
    platform::copyFile(source + "\\" + name, target + "\\" + name, overwrite);
    host.advanceGauge();
  }
  return true;
}

void KMXList(Workspace& ws, const std::string& directory) {
  ws.ListBoxCopy.clear();
  ws.FileListBox1.setDirectory(directory);
  for (const char* mask : kCarryForwardMasks) KMXListEkle(ws, mask);
}

void KMXListEkle(Workspace& ws, const std::string& mask) {
  ws.FileListBox1.setMask(mask);
  const std::vector<std::string>& items = ws.FileListBox1.items();
  ws.ListBoxCopy.insert(ws.ListBoxCopy.end(), items.begin(), items.end());
}
