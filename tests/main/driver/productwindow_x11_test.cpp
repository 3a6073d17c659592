// Product detection against a real X server: run under xvfb-run. Skipped
// when no display can be opened.
#include <gtest/gtest.h>

#include <cstdlib>

#include "jobs/workspace.h"
#include "main/driver/rundriver.h"
#include "platform/productcheck/productwindow.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

// Xlib's macros (None, Bool, Status) clash with C++ names: include it last.
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using fixture::TempDir;
// clang-format on

namespace {

class X11Test : public ::testing::Test {
 protected:
  void SetUp() override {
    m_display = XOpenDisplay(nullptr);
    if (!m_display) GTEST_SKIP() << "no X display (run under xvfb-run)";
  }
  void TearDown() override {
    if (m_display) XCloseDisplay(m_display);
  }
  // A mapped window with the given WM_CLASS, child of `parent` (the root
  // when 0).
  Window window(const char* instance, const char* windowClass, Window parent = 0) {
    Window w = XCreateSimpleWindow(m_display, parent ? parent : DefaultRootWindow(m_display), 0, 0,
                                   100, 80, 0, 0, 0);
    if (instance || windowClass) {
      XClassHint hint{const_cast<char*>(instance), const_cast<char*>(windowClass)};
      XSetClassHint(m_display, w, &hint);
    }
    XMapWindow(m_display, w);
    XSync(m_display, False);
    return w;
  }
  void destroy(Window w) {
    XDestroyWindow(m_display, w);
    XSync(m_display, False);
  }

  Display* m_display = nullptr;
};

TEST_F(X11Test, WindowClassOrInstanceNamesTheProduct) {
  Window other = window("upgrade-devir", "Upgrade-devir");
  EXPECT_FALSE(platform::topLevelWindowExists());
  Window byClass = window("kmx", "TMain_Frm");
  EXPECT_TRUE(platform::topLevelWindowExists());
  destroy(byClass);
  EXPECT_FALSE(platform::topLevelWindowExists());
  Window byInstance = window("TMain_Frm", "Wine");
  EXPECT_TRUE(platform::topLevelWindowExists());
  destroy(byInstance);
  destroy(other);
  // Case matters: a window class is not a file name.
  Window lower = window("tmain_frm", "tmain_frm");
  EXPECT_FALSE(platform::topLevelWindowExists());
  destroy(lower);
}

TEST_F(X11Test, ClientWindowInsideAWindowManagerFrameIsFound) {
  Window frame = window(nullptr, nullptr);
  Window inner = window(nullptr, nullptr, frame);
  window("kmx", "TMain_Frm", inner);
  EXPECT_TRUE(platform::topLevelWindowExists());
  destroy(frame);
  EXPECT_FALSE(platform::topLevelWindowExists());
}

TEST_F(X11Test, RunDriverRefusesWhileTheProductIsOpen) {
  TempDir tmp;
  // No Wine prefix to ask: the answer rests on the X server alone.
  ::setenv("WINEPREFIX", (tmp.path() / "no-prefix").c_str(), 1);
  RecordingHost host;
  host.newDir = tmp.str();
  Workspace ws;
  struct : ErrorReport {
    void errorBox(const std::string&) override {}
  } errors;
  bool jobRan = false;
  RunJobs jobs{[&](RunHost&, const RunOptions&, Workspace&) { return jobRan = true; },
               [&](RunHost&, const RunOptions&, Workspace&) { jobRan = true; }};

  Window product = window("kmx", "TMain_Frm");
  EXPECT_EQ(Button1Click(host, host.options(), ws, errors, CheckProduct, jobs), RunEnd::kStopped);
  EXPECT_EQ(host.infos,
            std::vector<std::string>{
                "Devir işlemini başlatmadan önce açık olan tüm KMX programlarını kapatınız"});
  EXPECT_FALSE(jobRan);

  destroy(product);
  host.infos.clear();
  Button1Click(host, host.options(), ws, errors, CheckProduct, jobs);
  EXPECT_TRUE(jobRan);
}

TEST(NoDisplay, MeansNoProductWindow) {
  const char* old = std::getenv("DISPLAY");
  std::string saved = old ? old : "";
  ::setenv("DISPLAY", ":987654", 1);
  EXPECT_FALSE(platform::topLevelWindowExists());
  if (old)
    ::setenv("DISPLAY", saved.c_str(), 1);
  else
    ::unsetenv("DISPLAY");
}

}  // namespace
