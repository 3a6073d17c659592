#include "ui/model/about.h"

#include "ui/model/version.h"

namespace uimodel {

namespace {

constexpr int kWidth = 430;
constexpr int kHeight = 460;
constexpr int kStatusHeight = 19;
constexpr int kLeftWidth = 144;
constexpr int kTitleHeight = 40;
constexpr int kTeamHeight = 224;

}  // namespace

const AboutLayout kAboutLayout{
    .window = {kWidth, kHeight},
    .leftPicture = {0, 0, kLeftWidth, kHeight - kStatusHeight},
    .teamPanel = {0, kHeight - kStatusHeight - kTeamHeight, kLeftWidth, kTeamHeight},
    .title = {kLeftWidth, 0, kWidth - kLeftWidth, kTitleHeight},
    .mainPanel = {kLeftWidth, kTitleHeight, kWidth - kLeftWidth,
                  kHeight - kStatusHeight - kTitleHeight},
    .logo = {111, 4, 64, 64},
    .creditsPanel = {16, 72, 255, 214},
    .telephone = {16, 292},
    .webLink = {16, 310},
    .mailLink = {16, 328},
    .physicalMemoryLabel = {16, 350},
    .memoryLoadLabel = {16, 368},
    .physicalMemory = {170, 350},
    .memoryLoad = {170, 368},
    .okButton = {171, 298, 100, 38},
    .statusBar = {0, kHeight - kStatusHeight, kWidth, kStatusHeight},
};

std::vector<std::string> CreditLines(const std::string& programName) {
  return {
      programName,
      "Tüm hakları saklıdır.",
      "",
      "ZEFIRTAK Yazılım ve Danışmanlık",
      kTelephoneLine,
      "Faks : (0212) 555 41 71",
      "Web : www.zefirtak.com.tr",
      "E-posta : destek@zefirtak.com.tr",
  };
}

std::string AboutStatusText(const std::string& programName) {
  return std::string(version::kMaker) + " " + programName;
}

std::vector<std::string> ProgramTeam() {
  return {
      "Proje Yönetimi",
      "Selin Aydınoğlu",
      "",
      "Yazılım Geliştirme",
      "Kerem Yıldız",
      "Derya Kocabaş",
      "",
      "Veri Dönüşümü",
      "Tolga Erdem",
      "",
      "Test ve Kalite",
      "Nazlı Güneş",
      "",
      "Destek",
      "Emre Çelik",
  };
}

std::string FormatPhysicalMemory(std::uint64_t bytes, std::string_view separator) {
  const std::string digits = std::to_string(bytes / 1024);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
    out += digits[i];
  }
  return out + " KB";
}

std::string FormatMemoryLoad(int percent) {
  return std::to_string(percent) + " %";
}

void AboutWindow::shown() {
  m_creditsRunning = true;
  m_teamShown = false;
  m_teamRunning = false;
}

void AboutWindow::toggleTeam() {
  m_teamShown = !m_teamShown;
  m_teamRunning = m_teamShown;
}

void AboutWindow::closed() {
  m_creditsRunning = false;
  m_teamRunning = false;
}

AboutWindow::KeyAction AboutWindow::ActionFor(Key key, unsigned modifiers) {
  if (key == Key::T && modifiers == (kControl | kAlt)) return KeyAction::ToggleTeam;
  if (key == Key::Escape) return KeyAction::Close;
  return KeyAction::None;
}

}  // namespace uimodel
