// The reconciliation report as the report window shows it, without a
// toolkit: the window's texts, one page per company with its rows in order
// and their kinds, and the window's size. A window of either system renders
// it; how each kind of row looks (colours, weight) is the window's own.
//
// Texts are UTF-8; a line break inside a cell is "\n".
#pragma once

#include <array>
#include <string>
#include <vector>

#include "report/openings.h"
#include "report/reconciliation.h"

namespace report {

inline constexpr const char* kWindowTitle = "Devir Mutabakat Raporu";
inline constexpr const char* kOpenCaption = "Kaydedilen raporu aç";
inline constexpr const char* kCloseCaption = "Kapat";
// The box that says the saved report could not be opened ("Kaydedilen raporu
// aç" found no program for it, or no file): its caption and its text,
// "Rapor açılamadı: <file>" as the openings check says it.
inline constexpr const char* kOpenFailureCaption = "Bilgi";
std::string OpenFailureText(const std::string& savedFile);

inline constexpr int kColumnCount = 7;
// "Bölüm", "Satır", "Eski", "Beklenen", "Yeni", "Fark", "Durum".
extern const std::array<const char*, kColumnCount> kColumnTitles;

enum class RowKind {
  kDiffers,  // a line that does not agree
  kAgrees,
  kInfo,   // a figure shown for information
  kItems,  // the differing records of the line above it
};

struct PresentedRow {
  RowKind kind = RowKind::kAgrees;
  // Section, line, old, expected, new, difference, mark. An items row has
  // its text in cells[1], which spans the rest of the row, and no other.
  std::array<std::string, kColumnCount> cells;
  // The fields behind a line, for support ("KTBKY → KDBKY"): shown beside
  // the line's name as a tooltip or a second line; empty when it has none.
  std::string detail;
  // The old, expected, new and difference cells of a line are numbers
  // (aligned right); nothing of an items row is.
  bool isNumber(int column) const { return kind != RowKind::kItems && column >= 2 && column <= 5; }
};

struct CompanyPage {
  std::string tabTitle;  // "2005_001 → 2006_001", with " (fark var)" when it differs
  std::string heading;   // the company's short name
  // The lines that differ first (LinesDifferencesFirst), each followed by an
  // items row when it names differing records.
  std::vector<PresentedRow> rows;
};

struct ReportPresentation {
  std::string title;     // kWindowTitle
  std::string facts;     // "02.01.2006 09:30 · YTL dönüşümü ile" (or "... yok")
  std::string verdict;   // SummaryText
  bool differs = false;  // the verdict names differing lines
  std::vector<CompanyPage> pages;
  std::string savedFileLine;  // "Kaydedilen rapor: <file>" or "Rapor kaydedilemedi."
  std::string savedFile;      // the saved HTML file's path text; empty when not saved
  bool canOpen = false;       // the open button works only on a saved file
};

// `savedFile`: the path text of the saved HTML report; empty when it could
// not be saved.
ReportPresentation PresentReport(const RunReport& report, const std::string& savedFile);

// The openings check in the same window (the after-carry actions' home):
// one page per pair, each stale opening a differing row (the line the code
// and the value, "Beklenen" what the carry would write today, "Yeni" the new
// company's opening, "Durum" the note and the cause), the totals as
// information, the notes as text rows.
inline constexpr const char* kOpeningsWindowTitle = "Devir Değerleri Denetimi";
ReportPresentation PresentOpenings(const OpeningsReport& report, const std::string& savedFile);

// "Tüm satırlar uyuyor." or "N satırda fark var: devir sonucu eski şirketle
// uyuşmuyor."
std::string SummaryText(const RunReport& report);

// "Farklı kayıtlar:" or, when not every differing record is named,
// "Farklı kayıtlar (ilk N, toplam M):".
std::string ItemsHeading(const ReportLine& line);
// "120.01: beklenen 12,35, bulunan 12,36".
std::string ItemText(const ItemDifference& item);
// The heading and one line per named record; empty when the line names none.
std::string ItemsText(const ReportLine& line);

struct WindowSize {
  int width, height;
};
// 1000 by 640, each side at most 90% of the screen's (rounded); a screen
// size of 0 or less is unknown and bounds nothing.
WindowSize ReportWindowSize(int screenWidth, int screenHeight);

}  // namespace report
