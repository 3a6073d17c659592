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
  virtual bool upgradeTicked() const = 0;             // CheckBoxUpgrade
  virtual bool devirTicked() const = 0;               // CheckBoxDevir
  virtual bool ytlTicked() const = 0;                 // CheckBoxYTL
  virtual std::string oldDataDirectory() const = 0;   // DirectoryEditOrLumex, as typed
  virtual std::string newDataDirectory() const = 0;   // DirectoryEditPravex, as typed
  virtual std::string sourceYear() const = 0;         // Edit1
  virtual std::string targetYear() const = 0;         // Edit2
  virtual int roundingMode() const = 0;               // RadioYUVARLA: 0 nearest, 1 down, 2 up
  virtual int precisionDigits() const = 0;            // RadioHAS index (always 2 from the window)
  virtual std::string currencyName() const = 0;       // EditPRBR
  virtual std::string currencySymbol() const = 0;     // EditPRSM
  virtual std::string subUnitName() const = 0;        // EditKC_BR
  virtual std::string subUnitSymbol() const = 0;      // EditKC_SMG

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

// Shows the modal information box (caption "Bilgi") and returns when it is
// closed. The text may hold "\r\n" line breaks. Every message of a run goes
// through here.
inline void InfoBox(RunHost& host, const std::string& text) { host.infoBox(text); }
