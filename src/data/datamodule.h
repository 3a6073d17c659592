// TDM: the data module that owns every table handle of the jobs.
//
// Each handle has its fixed table name and declared field list; its
// directory is set by the job just before it is opened. A declared field is
// reached as handle + field name: DM.CariPravex_T.field("KDBTR").
#pragma once

#include <exception>

#include "data/schemas.h"
#include "data/ttable.h"

class TDM {
 public:
  // Older edition's registry, in the older data directory.
  TTable SirketOrLumex_T{"SirketOrLumex_T", "sirket.DB", &schema::SirketOld()};
  // Newest edition's registry, in the newest data directory.
  TTable SirketPravex_T{"SirketPravex_T", "sirket.db", &schema::Sirket()};
  // Settings of an older company: every field of the table.
  TTable AyarOrLumex_T{"AyarOrLumex_T", "ayar.db", nullptr};
  // Settings in the template or a newest-edition company directory.
  TTable AyarPravexT{"AyarPravexT", "ayar.db", &schema::Ayar()};
  // Settings of a new company of the carry-forward.
  TTable AyarPravexDevir_T{"AyarPravexDevir_T", "ayar.DB", &schema::Ayar()};
  TTable CariPravex_T{"CariPravex_T", "Cari", &schema::Cari()};
  TTable StokPravex_T{"StokPravex_T", "Stok.DB", &schema::Stok()};
  TTable CeksenPravex_T{"CeksenPravex_T", "ceksen.DB", &schema::Ceksen()};
  // Movements as the upgrade re-codes them (ALPHA3 only).
  TTable CharPravex_T{"CharPravex_T", "Char.DB", &schema::CharUpgrade()};
  // Movements as the carry-forward thins them out (all 39 fields).
  TTable CharPravex{"CharPravex", "Char.DB", &schema::Char()};
  TTable FaturaPravex_T{"FaturaPravex_T", "Fatura", &schema::Fatura()};
  TTable UretimPravex_T{"UretimPravex_T", "urhar.db", &schema::Urhar()};

  // Closes every handle, as a run ends: a window that stays open after a
  // run then holds no table of the data directory open (on Windows an open
  // file keeps its directory from being moved or deleted). Each handle is
  // closed; the first failure to make a table's changes durable is thrown
  // after the others are closed.
  void closeAll() {
    std::exception_ptr first;
    for (TTable* t : {&SirketOrLumex_T, &SirketPravex_T, &AyarOrLumex_T, &AyarPravexT,
                      &AyarPravexDevir_T, &CariPravex_T, &StokPravex_T, &CeksenPravex_T,
                      &CharPravex_T, &CharPravex, &FaturaPravex_T, &UretimPravex_T}) {
      try {
        t->close();
      } catch (...) {
        if (!first) first = std::current_exception();
      }
    }
    if (first) std::rethrow_exception(first);
  }
};
