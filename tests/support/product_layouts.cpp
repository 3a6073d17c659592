#include "support/product_layouts.h"

namespace fixture::layout {

using T = pdx::FieldType;

const std::vector<FieldSpec>& Fatura() {
  static const std::vector<FieldSpec> kFields = {
      {"BFATKOD", T::kAutoInc, 0, false},    {"FATNO", T::kAlpha, 15, false},
      {"TARIH", T::kDate, 0, false},         {"VADE", T::kDate, 0, false},
      {"CARIKODU", T::kAlpha, 30, false},    {"UNVAN", T::kAlpha, 50, false},
      {"FATTUR", T::kAlpha, 12, false},      {"ARATOPLAM", T::kNumber, 0, false},
      {"ISKONTO", T::kNumber, 0, false},     {"KDVTUTAR", T::kNumber, 0, false},
      {"GENELTOPLAM", T::kNumber, 0, false}, {"DVZBRM", T::kAlpha, 4, false},
      {"DOVTOPLAM", T::kNumber, 0, false},   {"ACIKLAMA", T::kAlpha, 50, false},
      {"IRSALIYENO", T::kAlpha, 15, false},  {"LOJIK1", T::kLogical, 0, false},
      {"LOJIK2", T::kLogical, 0, false},     {"LOJIK3", T::kLogical, 0, false},
      {"LOJIK4", T::kLogical, 0, false},     {"NUMBER1", T::kNumber, 0, false},
      {"NUMBER2", T::kNumber, 0, false},     {"DATE1", T::kDate, 0, false},
      {"ALPHA1", T::kAlpha, 10, false},      {"ALPHA2", T::kAlpha, 30, false},
      {"NOT", T::kMemo, 100, false},
  };
  return kFields;
}

const std::vector<FieldSpec>& FaturaOld() {
  static const std::vector<FieldSpec> kFields = [] {
    std::vector<FieldSpec> f = Fatura();
    f.pop_back();  // the older edition had no note memo
    return f;
  }();
  return kFields;
}

const std::vector<FieldSpec>& SirketOld() {
  static const std::vector<FieldSpec> kFields = [] {
    std::vector<FieldSpec> f = schema::Sirket();
    f.push_back({"YEDEKYOLU", T::kAlpha, 80, false});  // a field the newest edition dropped
    return f;
  }();
  return kFields;
}

const std::vector<FieldSpec>& Ayar2() {
  static const std::vector<FieldSpec> kFields = {
      {"SIRA_NO", T::kNumber, 0, false}, {"YAZICI", T::kAlpha, 50, false},
      {"KAGIT", T::kAlpha, 20, false},   {"FATSATIR", T::kShort, 0, false},
      {"IRSSATIR", T::kShort, 0, false}, {"ONIZLEME", T::kLogical, 0, false},
      {"LOJIK1", T::kLogical, 0, false}, {"ALPHA1", T::kAlpha, 30, false},
  };
  return kFields;
}

const std::vector<FieldSpec>& CharOld() {
  static const std::vector<FieldSpec> kFields = [] {
    std::vector<FieldSpec> f(schema::Char().begin(), schema::Char().begin() + 24);
    f.push_back({"ALPHA1", T::kAlpha, 10, false});
    f.push_back({"ALPHA2", T::kAlpha, 10, false});
    f.push_back({"ALPHA3", T::kAlpha, 30, false});
    return f;
  }();
  return kFields;
}

const std::vector<FieldSpec>& CharWithoutAlpha3() {
  static const std::vector<FieldSpec> kFields(schema::Char().begin(), schema::Char().begin() + 24);
  return kFields;
}

std::vector<FieldSpec> AyarOld(int fieldCount) {
  const std::vector<FieldSpec>& newest = schema::Ayar();
  const int shared = fieldCount >= 84 ? 60 : std::min(fieldCount, 60);
  std::vector<FieldSpec> f(newest.begin(), newest.begin() + shared);
  for (int i = shared; i < fieldCount; ++i) {
    f.push_back({"ESKI" + std::to_string(i - shared + 1),
                 i % 3 == 0 ? T::kLogical : (i % 3 == 1 ? T::kNumber : T::kAlpha),
                 i % 3 == 2 ? 20 : 0, false});
  }
  return f;
}

}  // namespace fixture::layout
