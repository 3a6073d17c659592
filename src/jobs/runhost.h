// The one interface through which the jobs reach the main window.
//
// The window implements it; the headless command line and the tests implement
// it too (the tests with a recording fake). Options are read at the moment of
// use, never cached by a job. Texts are UTF-8. No job includes a widget header.
#pragma once

#include <string>

class CompanyList;

class RunHost {
 public:
  virtual ~RunHost() = default;

  // Job options, as the window holds them right now.
  virtual bool upgradeTicked() const = 0;            // CheckBoxUpgrade
  virtual bool devirTicked() const = 0;              // CheckBoxDevir
  virtual bool ytlTicked() const = 0;                // CheckBoxYTL
  virtual std::string oldDataDirectory() const = 0;  // DirectoryEditOrLumex, as typed
  virtual std::string newDataDirectory() const = 0;  // DirectoryEditPravex, as typed
  virtual std::string sourceYear() const = 0;        // Edit1
  virtual std::string targetYear() const = 0;        // Edit2
  virtual int roundingMode() const = 0;              // RadioYUVARLA: 0 nearest, 1 down, 2 up
  virtual int precisionDigits() const = 0;           // RadioHAS index (always 2 from the window)
  virtual std::string currencyName() const = 0;      // EditPRBR
  virtual std::string currencySymbol() const = 0;    // EditPRSM
  virtual std::string subUnitName() const = 0;       // EditKC_BR
  virtual std::string subUnitSymbol() const = 0;     // EditKC_SMG

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

  bool upgradeTicked() const override { return m_inner.upgradeTicked(); }
  bool devirTicked() const override { return m_inner.devirTicked(); }
  bool ytlTicked() const override { return m_inner.ytlTicked(); }
  std::string oldDataDirectory() const override { return m_inner.oldDataDirectory(); }
  std::string newDataDirectory() const override { return m_inner.newDataDirectory(); }
  std::string sourceYear() const override { return m_inner.sourceYear(); }
  std::string targetYear() const override { return m_inner.targetYear(); }
  int roundingMode() const override { return m_inner.roundingMode(); }
  int precisionDigits() const override { return m_inner.precisionDigits(); }
  std::string currencyName() const override { return m_inner.currencyName(); }
  std::string currencySymbol() const override { return m_inner.currencySymbol(); }
  std::string subUnitName() const override { return m_inner.subUnitName(); }
  std::string subUnitSymbol() const override { return m_inner.subUnitSymbol(); }
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
