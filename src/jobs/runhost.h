// The one interface through which the jobs reach the main window while they
// run: the progress display, the information box and the company selection.
//
// The window implements it; the headless command line and the tests implement
// it too (the tests with a recording fake). The run's options do not come
// through here: they are one value taken when the run starts (runoptions.h).
// Texts are UTF-8. No job includes a widget header.
#pragma once

#include <string>

class CompanyList;

class RunHost {
 public:
  virtual ~RunHost() = default;

  // Progress display (Label4 and Gauge1). setStatusText repaints at once so
  // the text shows although the window handles no input during a run.
  virtual void setStatusText(const std::string& text) = 0;
  virtual void setStatusVisible(bool visible) = 0;
  virtual void setGaugeVisible(bool visible) = 0;
  virtual void setGaugeMax(int maximum) = 0;
  virtual void setGaugePosition(int position) = 0;
  // One more item done; a position beyond the maximum stays at the maximum.
  virtual void advanceGauge() = 0;
  virtual void repaint() = 0;

  // The modal information box (caption "Bilgi"); returns when it is closed.
  virtual void infoBox(const std::string& text) = 0;

  // Shows the company selection dialog modally over `companies`; the dialog
  // changes only the DEVIR values. Returns true when the user confirmed.
  virtual bool selectCompanies(CompanyList& companies) = 0;
};

// A run host that passes every call to another one; a subclass overrides
// what it watches or holds back (the run driver's end watch, the dry run).
class ForwardingRunHost : public RunHost {
 public:
  explicit ForwardingRunHost(RunHost& inner) : m_inner(inner) {}

  void setStatusText(const std::string& text) override { m_inner.setStatusText(text); }
  void setStatusVisible(bool visible) override { m_inner.setStatusVisible(visible); }
  void setGaugeVisible(bool visible) override { m_inner.setGaugeVisible(visible); }
  void setGaugeMax(int maximum) override { m_inner.setGaugeMax(maximum); }
  void setGaugePosition(int position) override { m_inner.setGaugePosition(position); }
  void advanceGauge() override { m_inner.advanceGauge(); }
  void repaint() override { m_inner.repaint(); }
  void infoBox(const std::string& text) override { m_inner.infoBox(text); }
  bool selectCompanies(CompanyList& companies) override {
    return m_inner.selectCompanies(companies);
  }

 private:
  RunHost& m_inner;
};

// Shows the modal information box (caption "Bilgi") and returns when it is
// closed. The text may hold "\r\n" line breaks. Every message of a run goes
// through here.
inline void InfoBox(RunHost& host, const std::string& text) {
  host.infoBox(text);
}
