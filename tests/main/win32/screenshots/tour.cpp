// The windows are reached from the message loop of the modal window before
// them, as the window tests' driver does.
#include "main/win32/screenshots/tour.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "carry/dialog/win32/k_sirketsec.h"
#include "data/companylist.h"
#include "main/win32/form1.h"
#include "main/form/aftercarry.h"
#include "main/form/form1model.h"
#include "main/win32/report/reportwindow.h"
#include "report/presentation.h"
#include "support/screenshot_samples.h"
#include "ui/win32/about.h"
#include "ui/win32/help.h"
#include "ui/win32/testdriver.h"

namespace tour {

namespace {

namespace driver = win32ui::driver;
namespace fs = std::filesystem;

bool g_ok = true;
const Visitor* g_visit = nullptr;

void visit(HWND window, const char* sight) {
  driver::processPending();
  (*g_visit)(window, sight);
}

// Lets a window settle: its painting, a fade, the timers of its panels.
void settle(unsigned milliseconds) {
  const ULONGLONG end = ::GetTickCount64() + milliseconds;
  while (::GetTickCount64() < end) {
    driver::processPending();
    ::Sleep(10);
  }
}

// Runs `action` with the modal window that opens over `owner` once it is
// active and holds a control with id `controlId` (the main window and the
// help window share their caption, so the caption cannot tell them apart).
// After `seconds` without it, records a failure (when `required`) and closes
// what is active over `owner`.
void whenActive(HWND owner, int controlId, std::function<void(HWND)> action, bool required = true,
                unsigned seconds = 10, ULONGLONG deadline = 0) {
  if (deadline == 0) deadline = ::GetTickCount64() + seconds * 1000ull;
  driver::runLater(50, [=] {
    HWND active = ::GetActiveWindow();
    if (active != nullptr && active != owner && driver::find(active, controlId) != nullptr) {
      action(active);
    } else if (::GetTickCount64() < deadline) {
      whenActive(owner, controlId, action, required, seconds, deadline);
    } else if (required) {
      std::fprintf(stderr, "tour: control %d did not show\n", controlId);
      g_ok = false;
      if (active != nullptr && active != owner) ::PostMessageW(active, WM_CLOSE, 0, 0);
    }
  });
}

void click(TForm1& form, const char* name) {
  driver::click(driver::find(form.hwnd(), TForm1::controlId(name)));
}

void mainWindowShots(TForm1& form) {
  visit(form.hwnd(), "main-window");
  click(form, "CheckBoxUpgrade");
  click(form, "CheckBoxYTL");
  visit(form.hwnd(), "main-window-panels");

  // A run in progress: the progress display while a company is built.
  click(form, "CheckBoxUpgrade");
  form.model().setProductCheck([] { return platform::ProductStatus::closed(); });
  RunJobs jobs;
  jobs.upgrade = [](RunHost&, const RunOptions&, Workspace&) { return true; };
  jobs.carryForward = [&form](RunHost& host, const RunOptions&, Workspace&) {
    host.setStatusVisible(true);
    host.setGaugeVisible(true);
    host.setGaugeMax(12);
    host.setGaugePosition(5);
    host.setStatusText("Merkez Ticaret şirketi oluşturuluyor.");
    visit(form.hwnd(), "run-in-progress");
    host.setGaugeVisible(false);
    host.setStatusVisible(false);
  };
  jobs.write = false;
  form.model().setRunJobs(std::move(jobs));
  // A box the run may show at its end is closed unseen (not a later one).
  static bool running = true;
  whenActive(
      form.hwnd(), IDOK,
      [](HWND box) {
        if (running) ::PostMessageW(box, WM_CLOSE, 0, 0);
      },
      false, 2);
  form.model().Button1Click();
  running = false;
  click(form, "CheckBoxYTL");
  settle(300);
}

void messageBoxShot(TForm1& form) {
  whenActive(form.hwnd(), IDOK, [](HWND box) {
    settle(200);
    visit(box, "message-box");
    driver::click(driver::find(box, IDOK));
  });
  form.showMessage({form1::Message::Icon::kInformation, "Bilgi",
                    "Lütfen kullanmakta olduğunuz KMX Orvan veya Lumex versiyonunun "
                    "kullandığı\r\nDATA dizininin tam yolunu giriniz"});
}

void selectionShot(TForm1& form) {
  CompanyList companies;
  fixture::addScreenshotCompany(companies, "2005_001", "Merkez Ticaret", true, "2006_001");
  fixture::addScreenshotCompany(companies, "2005_002", "Şube İnşaat", false, "2006_002");
  fixture::addScreenshotCompany(companies, "2005_003", "Güneş Gıda", true, "2006_003");
  companies.first();
  whenActive(form.hwnd(), TK_SirketSec::kButton2, [](HWND dialog) {
    settle(200);
    visit(dialog, "selection-dialog");
    driver::click(driver::find(dialog, TK_SirketSec::kButton2));
  });
  ShowCompanySelection(form.hwnd(), companies, form.model(), form.title());
}

void reportShot(TForm1& form) {
  whenActive(form.hwnd(), TReportWindow::kButtonClose, [](HWND window) {
    settle(200);
    visit(window, "report-window");
    driver::click(driver::find(window, TReportWindow::kButtonClose));
  });
  ShowReportWindow(form.hwnd(), fixture::screenshotReport(),
                   "C:\\ZEFIRTAK\\KMX3\\DATA\\Devir Raporları\\Devir 2006-01-02 0930 "
                   "2005_001-2006_001 2005_003-2006_003.html");
}

// The same window as the home of the after-carry actions: an openings check
// with one late entry and every action a data directory can offer.
void homeShot(TForm1& form) {
  const report::OpeningsReport checked = fixture::screenshotOpenings();
  form1::AfterCarryHome home(
      [&] { return report::PresentOpenings(checked, fixture::kScreenshotOpeningsFile); },
      fixture::screenshotHomeActions());
  whenActive(form.hwnd(), TReportWindow::kButtonClose, [](HWND window) {
    settle(200);
    visit(window, "report-window-home");
    driver::click(driver::find(window, TReportWindow::kButtonClose));
  });
  ShowReportWindow(form.hwnd(), home);
}

// The help window, then the about box from its "İrtibat" after its fade,
// with the credits moved up (as their timer would) to stand in the middle of
// their panel.
void helpAndAboutShots(TForm1& form) {
  whenActive(form.hwnd(), win32ui::kHelpMemo, [](HWND help) {
    settle(200);
    visit(help, "help-window");
    whenActive(help, win32ui::kAboutOk, [](HWND about) {
      settle(1500);  // the fade-in
      HWND credits = driver::find(about, win32ui::kAboutCredits);
      constexpr WPARAM kStepTimer = 1;
      for (int i = 0; i < 200; ++i) ::SendMessageW(credits, WM_TIMER, kStepTimer, 0);
      visit(about, "about-box");
      driver::pressKey(about, VK_ESCAPE);
    });
    driver::click(driver::find(help, win32ui::kHelpContact));  // until the about box closed
    driver::pressKey(driver::find(help, win32ui::kHelpMemo), VK_ESCAPE);
  });
  win32ui::ShowHelpWindow(form.hwnd(), form.title());
}

}  // namespace

bool visitAll(TForm1& form, const Visitor& visitor) {
  g_ok = true;
  g_visit = &visitor;
  // The window's initial data directory, so that a run gets past its checks.
  std::error_code error;
  std::filesystem::create_directories("C:/ZEFIRTAK/KMX3/DATA", error);
  settle(300);
  mainWindowShots(form);
  messageBoxShot(form);
  selectionShot(form);
  reportShot(form);
  homeShot(form);
  helpAndAboutShots(form);
  return g_ok;
}

}  // namespace tour
