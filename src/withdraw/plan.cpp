// Whether each company a request names can be withdrawn, and the texts a
// window or the command line shows before the run.
#include <algorithm>
#include <exception>

#include "carry/record.h"
#include "carry/staging.h"
#include "data/datadirectories.h"
#include "data/failuretext.h"
#include "data/fingerprint.h"
#include "jobs/datainuse.h"
#include "withdraw/registry.h"
#include "withdraw/withdrawal.h"

namespace withdraw {

namespace {

const char* const kUsedAdvice =
    "Bu şirkette devirden sonra çalışılmış; devrin yanlışları artık yalnızca KMX programında "
    "düzeltilebilir.";

std::string unreadableRegistry(const std::exception& e) {
  return "Pravex programının şirket bilgilerine ulaşılamadı\r\n" + FailureText(e);
}

std::string named(const std::string& code, const std::string& shortName) {
  return shortName.empty() ? code : code + " (" + shortName + ")";
}

// The record that made `code`: the one whose header names it as the new
// company (its name says so too). Several: the caller refuses.
std::vector<const RecordHeader*> recordsOf(const std::vector<RecordHeader>& records,
                                           const std::string& code) {
  std::vector<const RecordHeader*> found;
  for (const RecordHeader& r : records)
    if (r.header.newCode == code) found.push_back(&r);
  return found;
}

void checkCompany(const WithdrawalRequest& request, const RegisteredCompany& row,
                  const std::vector<RegisteredCompany>& registry,
                  const std::vector<RecordHeader>& records, CompanyWithdrawal& c) {
  const platform::TypedPath& data = request.dataDirectory;
  bool twice = false;
  FindRegistered(registry, row.code, &twice);
  if (twice) {
    c.refusals.push_back("şirket listesinde (sirket.db) bu kodla birden çok şirket var");
    c.advice = "Şirket listesini KMX programında düzeltiniz.";
    return;
  }
  // A company carried on in its turn: its successor was made from it.
  for (const RecordHeader& r : records)
    if (r.header.oldCode == row.code && FindRegistered(registry, r.header.newCode)) {
      c.refusals.push_back("bu şirketten " + r.header.toYear + " yılına devir yapılmış (" +
                           r.header.newCode + ")");
      c.advice = "Önce " + r.header.newCode + " şirketinin devrini geri alınız.";
      return;
    }
  const std::vector<const RecordHeader*> own = recordsOf(records, row.code);
  const std::string noRecordAdvice =
      "Şirkette devirden sonra hiç kayıt yapılmadıysa şirketi KMX programında silip devri "
      "yeniden yapınız; kayıt yapıldıysa devrin yanlışlarını KMX programında düzeltiniz.";
  if (own.empty()) {
    c.refusals.push_back("devir kaydı yok (" + CarryRecordFolder(data).text() +
                         "); şirket bir devirle oluşturulmamış ya da kaydı silinmiş");
    c.advice = noRecordAdvice;
    return;
  }
  if (own.size() > 1) {
    c.refusals.push_back("bu şirketi birden çok devir kaydı adlandırıyor");
    c.advice = noRecordAdvice;
    return;
  }
  c.recordFile = own.front()->file;
  c.oldCode = own.front()->header.oldCode;
  std::string why;
  const auto record = report::ReadCarryRecord(CarryRecordFolder(data).below(c.recordFile), &why);
  if (!record) {
    c.refusals.push_back("devir kaydı okunamadı: " + c.recordFile + " (" + why + ")");
    c.advice = noRecordAdvice;
    return;
  }
  if (!record->hasFingerprints()) {
    c.refusals.push_back(
        "devir, şirketin devirdeki hâli kaydedilmeden önce yapılmış: devirden sonra değişip "
        "değişmediği bilinemiyor");
    c.advice = noRecordAdvice;
    return;
  }
  try {
    const std::vector<FileFingerprint> now =
        FingerprintDirectory(CompanyDirectory(data, row.code), {kWorkMarker, kWithdrawMarker});
    c.refusals = DescribeFingerprintChanges(record->files, now);
  } catch (const std::exception& e) {
    c.refusals.push_back("şirketin dosyaları okunamadı: " + FailureText(e));
    c.advice = "Dosyaları okunabilir kılıp yeniden deneyiniz.";
    return;
  }
  if (row.rowHash != record->registryRow)
    c.refusals.push_back("şirket listesindeki (sirket.db) bilgileri değişti");
  if (!c.refusals.empty() && record->updates > 0)
    c.refusals.push_back("açılışlar devirden sonra " + std::to_string(record->updates) +
                         " kez güncellenmiş (--refresh-openings)");
  if (!c.refusals.empty()) c.advice = kUsedAdvice;
}

}  // namespace

std::vector<std::string> CompaniesToWithdraw(const WithdrawalRequest& request, std::string& stop) {
  std::vector<RegisteredCompany> registry;
  try {
    registry = ReadRegistry(request.dataDirectory);
  } catch (const std::exception& e) {
    stop = unreadableRegistry(e);
    return {};
  }
  const std::string& year = request.targetYear;
  std::vector<std::string> codes;
  if (request.allCompanies) {
    const std::vector<RecordHeader> records = ReadRecordHeaders(request.dataDirectory);
    for (const RegisteredCompany& r : registry)
      if (r.year == year && !recordsOf(records, r.code).empty() &&
          std::find(codes.begin(), codes.end(), r.code) == codes.end())
        codes.push_back(r.code);
    if (codes.empty()) stop = year + " yılında devirle oluşturulmuş şirket bulunamadı";
    return codes;
  }
  for (const std::string& code : request.companies) {
    const std::optional<RegisteredCompany> r = FindRegistered(registry, code);
    if (!r) {
      stop = code + " kodlu şirket şirket listesinde (sirket.db) yok";
      return {};
    }
    if (r->year != year) {
      stop = code + " kodlu şirket " + year + " yılının şirketi değil";
      return {};
    }
    if (std::find(codes.begin(), codes.end(), code) == codes.end()) codes.push_back(code);
  }
  return codes;
}

std::vector<TouchedDirectory> WithdrawalTouches(const WithdrawalRequest& request,
                                                const std::vector<std::string>& codes) {
  std::vector<TouchedDirectory> touched{{request.dataDirectory, {"sirket.*"}}};
  for (const std::string& code : codes)
    touched.push_back({CompanyDirectory(request.dataDirectory, code), {"*.*"}});
  return touched;
}

WithdrawalPlan PlanWithdrawal(const WithdrawalRequest& request) {
  WithdrawalPlan plan;
  plan.request = request;
  const std::vector<std::string> codes = CompaniesToWithdraw(request, plan.stop);
  if (!plan.stop.empty()) return plan;
  std::vector<RegisteredCompany> registry;
  try {
    registry = ReadRegistry(request.dataDirectory);
  } catch (const std::exception& e) {
    plan.stop = unreadableRegistry(e);
    return plan;
  }
  const std::vector<RecordHeader> records = ReadRecordHeaders(request.dataDirectory);
  for (const std::string& code : codes) {
    const RegisteredCompany row = *FindRegistered(registry, code);
    CompanyWithdrawal c;
    c.code = code;
    c.shortName = row.shortName;
    checkCompany(request, row, registry, records, c);
    plan.companies.push_back(std::move(c));
  }
  return plan;
}

bool WithdrawalPlan::possible() const {
  return stop.empty() && !companies.empty() &&
         std::all_of(companies.begin(), companies.end(),
                     [](const CompanyWithdrawal& c) { return c.possible(); });
}

std::string WithdrawalPlan::text() const {
  if (!stop.empty()) return stop;
  std::string t;
  if (possible()) {
    t = "Devri geri alınacak şirketler:";
    for (const CompanyWithdrawal& c : companies)
      t += "\r\n  " + named(c.code, c.shortName) + ", " + c.oldCode + " şirketinden devredilmiş";
    return t +
           "\r\nHer birinin satırı şirket listesinden (sirket.db) silinecek; dizini ve devir "
           "kaydı " +
           request.dataDirectory.textOf(std::string(kBackupPrefix) + "<kod>_<tarih_saat>") +
           " dizinine taşınacak (hiçbir şey silinmez). Eski yılın şirketleri yeniden "
           "devredilebilecek.";
  }
  t = "Devir geri alınamaz; hiçbir şey değiştirilmedi.";
  std::vector<std::string> possibleCodes;
  for (const CompanyWithdrawal& c : companies) {
    if (c.possible()) {
      possibleCodes.push_back(c.code);
      continue;
    }
    t += "\r\n" + named(c.code, c.shortName) + ":";
    for (const std::string& line : c.refusals) t += "\r\n  " + line;
    if (!c.advice.empty()) t += "\r\n  " + c.advice;
  }
  if (!possibleCodes.empty()) {
    std::string list;
    for (const std::string& code : possibleCodes) list += (list.empty() ? "" : ", ") + code;
    t += "\r\nDevri geri alınabilecek şirketler: " + list +
         ". Yalnızca onları seçerek yeniden deneyiniz.";
  }
  return t;
}

std::string WithdrawalPlan::question() const {
  std::string list;
  for (const CompanyWithdrawal& c : companies) list += (list.empty() ? "" : ", ") + c.code;
  return text() + "\r\n" + list + (companies.size() == 1 ? " şirketinin" : " şirketlerinin") +
         " devri geri alınsın mı?";
}

std::string WithdrawalResult::text() const {
  std::string t;
  for (const WithdrawnCompany& w : withdrawn) {
    t += named(w.code, w.shortName) + " şirketinin devri geri alındı: satırı şirket listesinden " +
         "silindi, dizini " + (w.recordMoved ? "ve devir kaydı " : "") + w.backupFolder +
         " dizinine taşındı.";
    if (!w.oldCode.empty()) t += " " + w.oldCode + " şirketi yeniden devredilebilir.";
    t += "\r\n";
  }
  return t + "İşlem tamamlandı";
}

}  // namespace withdraw
