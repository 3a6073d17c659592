#include "data/schemas.h"

namespace schema {

using T = pdx::FieldType;

const std::vector<FieldSpec>& Sirket() {
  static const std::vector<FieldSpec> kFields = {
      {"SIRKET_KOD", T::kAlpha, 8, true},  {"KISA_AD", T::kAlpha, 30, true},
      {"NUMBER1", T::kNumber, 0, false},   {"KURULUSTAR", T::kDate, 0, false},
      {"KAYITTARIHI", T::kDate, 0, false}, {"UNVAN", T::kAlpha, 50, false},
      {"YETKILI", T::kAlpha, 40, false},   {"VDAIRESI", T::kAlpha, 20, false},
      {"VERGINO", T::kAlpha, 20, false},   {"ADRES", T::kMemo, 100, false},
      {"TEL1", T::kAlpha, 20, false},      {"FAX", T::kAlpha, 20, false},
      {"EMAIL", T::kAlpha, 50, false},     {"NOT", T::kMemo, 200, false},
      {"LOGO", T::kAlpha, 100, false},     {"BANKANO1", T::kAlpha, 50, false},
      {"BANKANO2", T::kAlpha, 50, false},  {"BANKANO3", T::kAlpha, 50, false},
      {"TEL2", T::kAlpha, 20, false},      {"WEB", T::kAlpha, 75, false},
      {"LOJIK1", T::kLogical, 0, false},   {"LOJIK2", T::kLogical, 0, false},
      {"LOJIK3", T::kLogical, 0, false},   {"LOJIK4", T::kLogical, 0, false},
      {"NUMBER2", T::kNumber, 0, false},   {"NUMBER3", T::kNumber, 0, false},
      {"NUMBER4", T::kNumber, 0, false},   {"DATE1", T::kDate, 0, false},
      {"DATE2", T::kDate, 0, false},       {"ALPHA1", T::kAlpha, 10, false},
      {"ALPHA2", T::kAlpha, 10, false},    {"ALPHA3", T::kAlpha, 30, false},
      {"ALPHA4", T::kAlpha, 30, false},    {"ALPHA5", T::kAlpha, 50, false},
  };
  return kFields;
}

const std::vector<FieldSpec>& Ayar() {
  static const std::vector<FieldSpec> kFields = {
      {"SIRA_NO", T::kNumber, 0, false},      {"DIPNOT", T::kAlpha, 75, false},
      {"SOL_MAR", T::kShort, 0, false},       {"UST_MAR", T::kShort, 0, false},
      {"ZAMAN", T::kShort, 0, false},         {"YAPILSIN", T::kLogical, 0, false},
      {"YEDEKTARIH", T::kDate, 0, false},     {"DVZKUL", T::kLogical, 0, false},
      {"DVZHASSAS", T::kAlpha, 10, false},    {"RESIMYOLU", T::kAlpha, 75, false},
      {"ADMIN_PWD", T::kAlpha, 20, false},    {"PARABIRIMI", T::kAlpha, 20, false},
      {"PARASIMGE", T::kAlpha, 4, false},     {"PRBRHASSAS", T::kAlpha, 10, false},
      {"SIFREKULLAN", T::kLogical, 0, false}, {"CROTONO", T::kLogical, 0, false},
      {"CRNO", T::kNumber, 0, false},         {"CRBASSAYI", T::kAlpha, 20, false},
      {"CRBASEK", T::kAlpha, 10, false},      {"CRSONEK", T::kAlpha, 10, false},
      {"CHOTONO", T::kLogical, 0, false},     {"CHNO", T::kNumber, 0, false},
      {"CHBASSAYI", T::kAlpha, 20, false},    {"CHBASEK", T::kAlpha, 10, false},
      {"CHSONEK", T::kAlpha, 10, false},      {"STOTONO", T::kLogical, 0, false},
      {"STNO", T::kNumber, 0, false},         {"STBASSAYI", T::kAlpha, 20, false},
      {"STBASEK", T::kAlpha, 10, false},      {"STSONEK", T::kAlpha, 10, false},
      {"SHOTONO", T::kLogical, 0, false},     {"SHNO", T::kNumber, 0, false},
      {"SHBASSAYI", T::kAlpha, 20, false},    {"SHBASEK", T::kAlpha, 10, false},
      {"SHSONEK", T::kAlpha, 10, false},      {"HINTS", T::kLogical, 0, false},
      {"SANTRAL", T::kLogical, 0, false},     {"SANNO", T::kAlpha, 10, false},
      {"KYCUBUK", T::kShort, 0, false},       {"CHDVZKUL", T::kLogical, 0, false},
      {"CHKPBDVZ", T::kLogical, 0, false},    {"SHDVZKUL", T::kLogical, 0, false},
      {"SHKPBDVZ", T::kLogical, 0, false},    {"MENUSTATE", T::kLogical, 0, false},
      {"MENUHEIGHT", T::kLong, 0, false},     {"MENUWIDTH", T::kLong, 0, false},
      {"CRTOPKD", T::kLogical, 0, false},     {"STTOPKD", T::kLogical, 0, false},
      {"LOJIK1", T::kLogical, 0, false},      {"LOJIK2", T::kLogical, 0, false},
      {"LOJIK3", T::kLogical, 0, false},      {"LOJIK4", T::kLogical, 0, false},
      {"NUMBER1", T::kNumber, 0, false},      {"NUMBER2", T::kNumber, 0, false},
      {"NUMBER3", T::kNumber, 0, false},      {"NUMBER4", T::kNumber, 0, false},
      {"DATE1", T::kDate, 0, false},          {"DATE2", T::kDate, 0, false},
      {"FATDIZAYN", T::kAlpha, 20, false},    {"ALPHA1", T::kAlpha, 10, false},
      {"ALPHA2", T::kAlpha, 10, false},       {"ALPHA3", T::kAlpha, 30, false},
      {"ALPHA4", T::kAlpha, 30, false},       {"ALPHA5", T::kAlpha, 50, false},
      {"URBASSAY", T::kAlpha, 20, false},     {"URBASEK", T::kAlpha, 10, false},
      {"URSONEK", T::kAlpha, 10, false},      {"ALPHA6", T::kAlpha, 30, false},
      {"ALPHA7", T::kAlpha, 30, false},       {"ALPHA8", T::kAlpha, 30, false},
      {"ALPHA9", T::kAlpha, 30, false},       {"ALPHA10", T::kAlpha, 30, false},
      {"LOJIK5", T::kLogical, 0, false},      {"LOJIK6", T::kLogical, 0, false},
      {"LOJIK7", T::kLogical, 0, false},      {"LOJIK8", T::kLogical, 0, false},
      {"LOJIK9", T::kLogical, 0, false},      {"LOJIK10", T::kLogical, 0, false},
      {"DATE3", T::kDate, 0, false},          {"DATE4", T::kDate, 0, false},
      {"TIME1", T::kTime, 0, false},          {"TIME2", T::kTime, 0, false},
      {"INTEGER1", T::kLong, 0, false},       {"INTEGER2", T::kLong, 0, false},
  };
  return kFields;
}

const std::vector<FieldSpec>& Cari() {
  static const std::vector<FieldSpec> kFields = {
      {"BCRKOD", T::kAutoInc, 0, false},  {"CARIKODU", T::kAlpha, 30, true},
      {"GRUBU", T::kAlpha, 15, false},    {"OZKOD", T::kAlpha, 15, false},
      {"K_TARIH", T::kDate, 0, false},    {"AD", T::kAlpha, 20, false},
      {"SOYAD", T::kAlpha, 20, false},    {"UNVAN", T::kAlpha, 50, false},
      {"VERGINO", T::kAlpha, 20, false},  {"VDAIRE", T::kAlpha, 20, false},
      {"MUHSBKOD", T::kAlpha, 15, false}, {"ISKONTO", T::kLogical, 0, false},
      {"ISKORAN", T::kNumber, 0, false},  {"TEL1", T::kAlpha, 20, false},
      {"TEL2", T::kAlpha, 20, false},     {"CEPTEL", T::kAlpha, 20, false},
      {"FAX", T::kAlpha, 20, false},      {"EMAIL", T::kAlpha, 50, false},
      {"ICQNO", T::kAlpha, 20, false},    {"WEB", T::kAlpha, 50, false},
      {"NOT", T::kMemo, 200, false},      {"ADRES", T::kMemo, 100, false},
      {"RESIM", T::kAlpha, 100, false},   {"KDBRC", T::kNumber, 0, false},
      {"KDALC", T::kNumber, 0, false},    {"KDBKY", T::kNumber, 0, false},
      {"KDBTR", T::kAlpha, 6, false},     {"KHBRC", T::kNumber, 0, false},
      {"KHALC", T::kNumber, 0, false},    {"KHBKY", T::kNumber, 0, false},
      {"KHBTR", T::kAlpha, 6, false},     {"KTBRC", T::kNumber, 0, false},
      {"KTALC", T::kNumber, 0, false},    {"KTBKY", T::kNumber, 0, false},
      {"KTBTR", T::kAlpha, 6, false},     {"DDBRC", T::kNumber, 0, false},
      {"DDALC", T::kNumber, 0, false},    {"DDBKY", T::kNumber, 0, false},
      {"DDBTR", T::kAlpha, 6, false},     {"DHBRC", T::kNumber, 0, false},
      {"DHALC", T::kNumber, 0, false},    {"DHBKY", T::kNumber, 0, false},
      {"DHBTR", T::kAlpha, 6, false},     {"DTBRC", T::kNumber, 0, false},
      {"DTALC", T::kNumber, 0, false},    {"DTBKY", T::kNumber, 0, false},
      {"DTBTR", T::kAlpha, 6, false},     {"DVZKUL", T::kLogical, 0, false},
      {"DVZBRM", T::kAlpha, 4, false},    {"KLIMKPB", T::kNumber, 0, false},
      {"KLIMDVZ", T::kNumber, 0, false},  {"KLIMUYAR", T::kLogical, 0, false},
      {"EVTEL", T::kAlpha, 20, false},    {"KKART1", T::kAlpha, 40, false},
      {"KKART2", T::kAlpha, 40, false},   {"TAKKART", T::kAlpha, 40, false},
      {"LOJIK1", T::kLogical, 0, false},  {"LOJIK2", T::kLogical, 0, false},
      {"LOJIK3", T::kLogical, 0, false},  {"LOJIK4", T::kLogical, 0, false},
      {"NUMBER1", T::kNumber, 0, false},  {"NUMBER2", T::kNumber, 0, false},
      {"NUMBER3", T::kNumber, 0, false},  {"NUMBER4", T::kNumber, 0, false},
      {"DATE1", T::kDate, 0, false},      {"DATE2", T::kDate, 0, false},
      {"ALPHA1", T::kAlpha, 10, false},   {"ALPHA2", T::kAlpha, 10, false},
      {"ALPHA3", T::kAlpha, 30, false},   {"ALPHA4", T::kAlpha, 30, false},
      {"ALPHA5", T::kAlpha, 50, false},
  };
  return kFields;
}

const std::vector<FieldSpec>& Stok() {
  static const std::vector<FieldSpec> kFields = {
      {"BSTKOD", T::kAutoInc, 0, false},     {"STOKKODU", T::kAlpha, 30, true},
      {"OZKOD", T::kAlpha, 15, false},       {"GRUPAD", T::kAlpha, 15, false},
      {"CINS", T::kAlpha, 50, false},        {"BIRIM", T::kAlpha, 15, false},
      {"KDV", T::kNumber, 0, false},         {"AISK", T::kLogical, 0, false},
      {"SISK", T::kLogical, 0, false},       {"AISKORN", T::kNumber, 0, false},
      {"SISKORN", T::kNumber, 0, false},     {"MUHKODALIS", T::kAlpha, 15, false},
      {"MUHKODSATIS", T::kAlpha, 15, false}, {"ACIKLAMA", T::kAlpha, 200, false},
      {"RESIM", T::kAlpha, 100, false},      {"KALF", T::kNumber, 0, false},
      {"KSAT1", T::kNumber, 0, false},       {"KSAT2", T::kNumber, 0, false},
      {"KSAT3", T::kNumber, 0, false},       {"KSAT4", T::kNumber, 0, false},
      {"DALF", T::kNumber, 0, false},        {"DSAT1", T::kNumber, 0, false},
      {"DSAT2", T::kNumber, 0, false},       {"DSAT3", T::kNumber, 0, false},
      {"DSAT4", T::kNumber, 0, false},       {"MIKDEV", T::kNumber, 0, false},
      {"MIKGIR", T::kNumber, 0, false},      {"MIKCIK", T::kNumber, 0, false},
      {"MIKKAL", T::kNumber, 0, false},      {"TUTDEV", T::kNumber, 0, false},
      {"TUTGIR", T::kNumber, 0, false},      {"TUTCIK", T::kNumber, 0, false},
      {"TUTKAL", T::kNumber, 0, false},      {"DOVDEV", T::kNumber, 0, false},
      {"DOVGIR", T::kNumber, 0, false},      {"DOVCIK", T::kNumber, 0, false},
      {"DOVKAL", T::kNumber, 0, false},      {"KTARIH", T::kDate, 0, false},
      {"DVZKUL", T::kLogical, 0, false},     {"DVZBRM", T::kAlpha, 4, false},
      {"UYARI", T::kAlpha, 30, false},       {"MIN", T::kNumber, 0, false},
      {"MAX", T::kNumber, 0, false},         {"IMALTAR", T::kDate, 0, false},
      {"SONTAR", T::kDate, 0, false},        {"SKUYARI", T::kLogical, 0, false},
      {"DEPONO", T::kAlpha, 15, false},      {"RAFNO", T::kAlpha, 15, false},
      {"YERNO", T::kAlpha, 15, false},       {"LOJIK1", T::kLogical, 0, false},
      {"LOJIK2", T::kLogical, 0, false},     {"LOJIK3", T::kLogical, 0, false},
      {"LOJIK4", T::kLogical, 0, false},     {"NUMBER1", T::kNumber, 0, false},
      {"NUMBER2", T::kNumber, 0, false},     {"NUMBER3", T::kNumber, 0, false},
      {"NUMBER4", T::kNumber, 0, false},     {"DATE1", T::kDate, 0, false},
      {"DATE2", T::kDate, 0, false},         {"ALPHA1", T::kAlpha, 10, false},
      {"ALPHA2", T::kAlpha, 10, false},      {"ALPHA3", T::kAlpha, 30, false},
      {"ALPHA4", T::kAlpha, 30, false},      {"ALPHA5", T::kAlpha, 50, false},
  };
  return kFields;
}

const std::vector<FieldSpec>& Ceksen() {
  static const std::vector<FieldSpec> kFields = {
      {"KAYIT", T::kAutoInc, 0, false},     {"BCHKOD", T::kNumber, 0, false},
      {"BCRKOD", T::kNumber, 0, false},     {"CARIKODU", T::kAlpha, 30, false},
      {"EVRAK", T::kAlpha, 20, false},      {"ASIL", T::kAlpha, 50, false},
      {"KIMGITTI", T::kAlpha, 30, false},   {"ODEMEGUN", T::kDate, 0, false},
      {"BANKAAD", T::kAlpha, 30, false},    {"TARIH", T::kDate, 0, false},
      {"ISLEMTURU", T::kLogical, 0, false}, {"KTUTAR", T::kNumber, 0, false},
      {"KESIDEYER", T::kAlpha, 30, false},  {"OAD", T::kAlpha, 15, false},
      {"OSOYAD", T::kAlpha, 15, false},     {"OUNVAN", T::kAlpha, 50, false},
      {"OTEL", T::kAlpha, 15, false},       {"OADRES", T::kAlpha, 100, false},
      {"KEFAD", T::kAlpha, 15, false},      {"KEFSOYAD", T::kAlpha, 15, false},
      {"KEFVNO", T::kNumber, 0, false},     {"KEFTEL", T::kAlpha, 15, false},
      {"KEFADRES", T::kAlpha, 100, false},  {"CIRO1", T::kMemo, 240, false},
      {"CIRO2", T::kMemo, 240, false},      {"NOT1", T::kMemo, 240, false},
      {"NOT2", T::kMemo, 240, false},       {"EVRAKDURUM", T::kAlpha, 30, false},
      {"KPBDVZ", T::kLogical, 0, false},    {"DTUTAR", T::kNumber, 0, false},
      {"DVZBRM", T::kAlpha, 4, false},      {"PERSONEL", T::kAlpha, 30, false},
      {"ALPHA1", T::kAlpha, 30, false},     {"ALPHA2", T::kAlpha, 30, false},
      {"ALPHA3", T::kAlpha, 50, false},     {"ALPHA4", T::kAlpha, 75, false},
      {"LOJIK1", T::kLogical, 0, false},    {"LOJIK2", T::kLogical, 0, false},
      {"LOJIK3", T::kLogical, 0, false},    {"NUMBER1", T::kNumber, 0, false},
      {"NUMBER2", T::kNumber, 0, false},    {"NUMBER3", T::kNumber, 0, false},
      {"DATE1", T::kDate, 0, false},        {"DATE2", T::kDate, 0, false},
      {"TIME1", T::kTime, 0, false},        {"TIME2", T::kTime, 0, false},
  };
  return kFields;
}

const std::vector<FieldSpec>& Char() {
  static const std::vector<FieldSpec> kFields = {
      {"BCHKOD", T::kAutoInc, 0, false},    {"BCRKOD", T::kLong, 0, false},
      {"OZELKOD", T::kAlpha, 15, false},    {"EVRAKNO", T::kAlpha, 15, false},
      {"GRUP", T::kAlpha, 15, false},       {"TARIH", T::kDate, 0, true},
      {"ADSOYAD", T::kAlpha, 30, false},    {"UNVAN", T::kAlpha, 50, false},
      {"TUTAR", T::kNumber, 0, true},       {"DOVIZ", T::kNumber, 0, false},
      {"TUTAR_TUR", T::kLogical, 0, false}, {"ALIS", T::kNumber, 0, false},
      {"SATIS", T::kNumber, 0, false},      {"IS_TUR", T::kAlpha, 12, true},
      {"VADE", T::kDate, 0, false},         {"FATURACARI", T::kLogical, 0, false},
      {"ACIKLAMA", T::kAlpha, 50, false},   {"CARIKOD", T::kAlpha, 30, false},
      {"CROZELKOD", T::kAlpha, 15, false},  {"DVZKUL", T::kLogical, 0, false},
      {"KPBDVZ", T::kLogical, 0, false},    {"DVZBRM", T::kAlpha, 4, false},
      {"TAKSIT", T::kLogical, 0, false},    {"ODEDI", T::kLogical, 0, false},
      {"LOJIK1", T::kLogical, 0, false},    {"NUMBER1", T::kNumber, 0, false},
      {"LOJIK2", T::kLogical, 0, false},    {"LOJIK3", T::kLogical, 0, false},
      {"LOJIK4", T::kLogical, 0, false},    {"NUMBER2", T::kNumber, 0, false},
      {"NUMBER3", T::kNumber, 0, false},    {"NUMBER4", T::kNumber, 0, false},
      {"DATE1", T::kDate, 0, false},        {"DATE2", T::kDate, 0, false},
      {"ALPHA1", T::kAlpha, 10, false},     {"ALPHA2", T::kAlpha, 10, false},
      {"ALPHA3", T::kAlpha, 30, false},     {"ALPHA4", T::kAlpha, 30, false},
      {"ALPHA5", T::kAlpha, 50, false},
  };
  return kFields;
}

const std::vector<FieldSpec>& Fatura() {
  static const std::vector<FieldSpec> kFields = {
      {"LOJIK3", T::kLogical, 0, false},
      {"LOJIK4", T::kLogical, 0, false},
  };
  return kFields;
}

const std::vector<FieldSpec>& Urhar() {
  static const std::vector<FieldSpec> kFields = {
      {"BURHKOD", T::kAutoInc, 0, false}, {"BURKOD", T::kLong, 0, false},
      {"CINS", T::kAlpha, 50, false},     {"STOKKODU", T::kAlpha, 30, false},
      {"BIRIM", T::kAlpha, 15, false},    {"OZELKOD", T::kAlpha, 15, false},
      {"MIKTAR", T::kNumber, 0, false},   {"KFIYAT", T::kNumber, 0, false},
      {"URMIKTAR", T::kNumber, 0, false}, {"TMALIYET", T::kNumber, 0, false},
      {"DFIYAT", T::kNumber, 0, false},   {"DVZBRM", T::kAlpha, 4, false},
      {"DMALIYET", T::kNumber, 0, false}, {"ALPHA1", T::kAlpha, 10, false},
      {"ALPHA2", T::kAlpha, 30, false},   {"ALPHA3", T::kAlpha, 30, false},
      {"LOJIK1", T::kLogical, 0, false},  {"LOJIK2", T::kLogical, 0, false},
      {"LOJIK3", T::kLogical, 0, false},  {"NUMBER1", T::kNumber, 0, false},
      {"NUMBER2", T::kNumber, 0, false},  {"NUMBER3", T::kNumber, 0, false},
      {"DATE1", T::kDate, 0, false},      {"DATE2", T::kDate, 0, false},
      {"TIME1", T::kTime, 0, false},
  };
  return kFields;
}
const std::vector<FieldSpec>& SirketOld() {
  static const std::vector<FieldSpec> kFields = {
      {"SIRKET_KOD", T::kAlpha, 8, true},
      {"KISA_AD", T::kAlpha, 30, true},
  };
  return kFields;
}

const std::vector<FieldSpec>& CharUpgrade() {
  static const std::vector<FieldSpec> kFields = {{"ALPHA3", T::kAlpha, 30, false}};
  return kFields;
}

std::string typeName(pdx::FieldType type) {
  switch (type) {
    case T::kAlpha:
      return "String";
    case T::kDate:
      return "Date";
    case T::kShort:
      return "SmallInt";
    case T::kLong:
      return "Integer";
    case T::kMoney:
      return "Currency";
    case T::kNumber:
      return "Float";
    case T::kLogical:
      return "Boolean";
    case T::kMemo:
      return "Memo";
    case T::kBlob:
      return "Blob";
    case T::kFmtMemo:
      return "FmtMemo";
    case T::kOle:
      return "OLE";
    case T::kGraphic:
      return "Graphic";
    case T::kTime:
      return "Time";
    case T::kTimestamp:
      return "DateTime";
    case T::kAutoInc:
      return "AutoInc";
    case T::kBcd:
      return "BCD";
    case T::kBytes:
      return "Bytes";
  }
  return "Unknown";
}

}  // namespace schema
