// The units of the opening update as the new company holds them now (a
// card's two currency groups, a stock item), with the sums each must add up
// to before it is adjusted, and the arithmetic of carrying a late entry over.
// Internal to refresh/.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/typedpath.h"
#include "refresh/stage.h"
#include "report/carryrecord.h"

namespace refresh {

// A card's currency group: its opening (C) and the year's sums.
struct GroupNow {
  report::RecordedFigure opening;          // xDBKY, xDBTR, xDBRC, xDALC
  double movedDebit = 0, movedCredit = 0;  // xHBRC, xHALC
  double totalDebit = 0, totalCredit = 0;  // xTBRC, xTALC
  double totalBalance = 0;                 // xTBKY
  std::string totalSide;                   // xTBTR
};

struct CardNow {
  std::string name, unit;  // UNVAN, DVZBRM
  GroupNow group[2];       // local (K..), foreign (D..)
  int count = 0;           // records holding the code
};

struct ItemNow {
  std::string name;                             // CINS
  std::vector<report::RecordedFigure> opening;  // MIKDEV, TUTDEV, DOVDEV
  double moved[3][2] = {};                      // xGIR, xCIK of quantity, value, foreign value
  double remaining[3] = {};                     // MIKKAL, TUTKAL, DOVKAL
  int count = 0;
};

// The units of a company by code (the last record of a code held twice),
// and the codes in table order.
template <typename Unit>
struct UnitsNow {
  std::unordered_map<std::string, Unit> byCode;
  std::vector<std::string> order;
};

// Read-only; throw as the table's open and reads throw.
UnitsNow<CardNow> ReadCardsNow(const platform::TypedPath& companyDir);
UnitsNow<ItemNow> ReadItemsNow(const platform::TypedPath& companyDir);

// Why a card group's sums (prefix 'K' or 'D') do not add up to the cent,
// "KTBRC ≠ KDBRC + KHBRC"; empty when they do. The balance is the
// difference of the totals on the side its side text names: only "Alacak"
// is credit.
std::string CardSumsProblem(const GroupNow& group, char prefix);
// The same for a stock item: "MIKKAL ≠ MIKDEV + MIKGIR - MIKCIK" ...
std::string ItemSumsProblem(const ItemNow& item);

// A card group carried over to `today`: the opening set to it, the totals
// moved by the change of the opening's debit and credit, the balance their
// difference, the side written only when the balance moves to the other side.
GroupWrite CarriedGroup(const GroupNow& group, const report::RecordedFigure& today);

}  // namespace refresh
