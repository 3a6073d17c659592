#include "refresh/units.h"

#include <cmath>

#include "report/tables.h"

namespace refresh {

namespace {

using report::RecordedFigure;

const char* const kCredit = "Alacak";

bool nearlyEqual(double a, double b) {
  return std::fabs(a - b) < 0.005;
}

}  // namespace

UnitsNow<CardNow> ReadCardsNow(const platform::TypedPath& companyDir) {
  UnitsNow<CardNow> out;
  report::TableReader r(companyDir, "Cari");
  const int code = r.field("CARIKODU"), name = r.field("UNVAN"), unit = r.field("DVZBRM");
  int f[2][10];
  static const char* const kFields[] = {"DBKY", "DBTR", "DBRC", "DALC", "HBRC",
                                        "HALC", "TBRC", "TALC", "TBKY", "TBTR"};
  for (int g = 0; g < 2; ++g)
    for (int k = 0; k < 10; ++k)
      f[g][k] = r.field((std::string(1, g == 0 ? 'K' : 'D') + kFields[k]).c_str());
  for (; !r.eof(); r.next()) {
    const std::string c = r.text(code);
    CardNow& card = out.byCode[c];
    if (card.count++ == 0) out.order.push_back(c);
    card.name = r.text(name);
    card.unit = r.text(unit);
    for (int g = 0; g < 2; ++g) {
      GroupNow& x = card.group[g];
      x.opening = {r.number(f[g][0]), r.text(f[g][1]), r.number(f[g][2]), r.number(f[g][3])};
      x.movedDebit = r.number(f[g][4]);
      x.movedCredit = r.number(f[g][5]);
      x.totalDebit = r.number(f[g][6]);
      x.totalCredit = r.number(f[g][7]);
      x.totalBalance = r.number(f[g][8]);
      x.totalSide = r.text(f[g][9]);
    }
  }
  return out;
}

UnitsNow<ItemNow> ReadItemsNow(const platform::TypedPath& companyDir) {
  UnitsNow<ItemNow> out;
  report::TableReader r(companyDir, "Stok.DB");
  const int code = r.field("STOKKODU"), name = r.field("CINS");
  static const char* const kNames[] = {"MIK", "TUT", "DOV"};
  int f[3][4];
  for (int k = 0; k < 3; ++k) {
    const std::string n = kNames[k];
    f[k][0] = r.field((n + "DEV").c_str());
    f[k][1] = r.field((n + "GIR").c_str());
    f[k][2] = r.field((n + "CIK").c_str());
    f[k][3] = r.field((n + "KAL").c_str());
  }
  for (; !r.eof(); r.next()) {
    const std::string c = r.text(code);
    ItemNow& item = out.byCode[c];
    if (item.count++ == 0) out.order.push_back(c);
    item.name = r.text(name);
    item.opening.assign(3, {});
    for (int k = 0; k < 3; ++k) {
      item.opening[k].value = r.number(f[k][0]);
      item.moved[k][0] = r.number(f[k][1]);
      item.moved[k][1] = r.number(f[k][2]);
      item.remaining[k] = r.number(f[k][3]);
    }
  }
  return out;
}

std::string CardSumsProblem(const GroupNow& g, char p) {
  const std::string x(1, p);
  if (!nearlyEqual(g.totalDebit, g.opening.debit + g.movedDebit))
    return x + "TBRC ≠ " + x + "DBRC + " + x + "HBRC";
  if (!nearlyEqual(g.totalCredit, g.opening.credit + g.movedCredit))
    return x + "TALC ≠ " + x + "DALC + " + x + "HALC";
  const double balance =
      g.totalSide == kCredit ? g.totalCredit - g.totalDebit : g.totalDebit - g.totalCredit;
  if (!nearlyEqual(g.totalBalance, balance)) return x + "TBKY ≠ " + x + "TBRC - " + x + "TALC";
  return {};
}

std::string ItemSumsProblem(const ItemNow& i) {
  static const char* const kNames[] = {"MIK", "TUT", "DOV"};
  for (int k = 0; k < 3; ++k)
    if (!nearlyEqual(i.remaining[k], i.opening[k].value + i.moved[k][0] - i.moved[k][1])) {
      const std::string n = kNames[k];
      return n + "KAL ≠ " + n + "DEV + " + n + "GIR - " + n + "CIK";
    }
  return {};
}

GroupWrite CarriedGroup(const GroupNow& g, const RecordedFigure& today) {
  GroupWrite w;
  w.opening = today;
  w.totalDebit = g.totalDebit + (today.debit - g.opening.debit);
  w.totalCredit = g.totalCredit + (today.credit - g.opening.credit);
  const bool wasCredit = g.totalSide == kCredit;
  w.totalSide = g.totalSide;
  // The side is written only when the balance moves between the sides.
  if (w.totalCredit > w.totalDebit && !wasCredit) w.totalSide = kCredit;
  if (w.totalDebit > w.totalCredit && wasCredit) w.totalSide = "Borç";
  w.totalBalance =
      w.totalSide == kCredit ? w.totalCredit - w.totalDebit : w.totalDebit - w.totalCredit;
  return w;
}

}  // namespace refresh
