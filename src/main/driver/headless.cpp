#include "main/driver/headless.h"

#include "jobs/datainuse.h"
#include "jobs/workspace.h"
#include "main/driver/dryrun.h"
#include "main/driver/openingscheck.h"
#include "main/driver/restorecommand.h"
#include "main/driver/refreshcommand.h"
#include "main/driver/runlog.h"
#include "main/driver/runreport.h"
#include "main/driver/withdrawal.h"
#include "ui/model/version.h"

bool IsYearArgument(const std::string& text, bool empty) {
  if (text.size() > 4 || (text.empty() && !empty)) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

std::vector<std::string> SplitCompanyCodes(const std::string& text) {
  std::vector<std::string> codes;
  std::string current;
  for (char c : text + ",") {
    if (c == ',') {
      if (!current.empty()) codes.push_back(current);
      current.clear();
    } else {
      current.push_back(c);
    }
  }
  return codes;
}

const char* HeadlessSynopsis() {
  return "Kullanım:\n"
         "  upgrade-devir                 (argümansız: pencereyi açar)\n"
         "  upgrade-devir --devir --data DİZİN --from YIL --to YIL [--ytl]\n"
         "                [--rounding auto|down|up] [--companies all|KOD,KOD...]\n"
         "                [--upgrade --old DİZİN] [--report-dir DİZİN] [--dry-run]\n"
         "                [--confirm-closed]\n"
         "  upgrade-devir --upgrade --old DİZİN --data DİZİN [--dry-run]\n"
         "                [--confirm-closed]\n"
         "  upgrade-devir --check-openings --data DİZİN --from N --to N+1\n"
         "                [--companies all|KOD,KOD...] [--rounding auto|down|up]\n"
         "                [--report-dir DİZİN]\n"
         "  upgrade-devir --restore-upgrade --data DİZİN [--backup UD_YEDEK_...]\n"
         "                [--dry-run] [--confirm-closed]\n"
         "  upgrade-devir --refresh-openings --data DİZİN --from N --to N+1\n"
         "                [--companies all|KOD,KOD...] [--dry-run] [--report-dir DİZİN]\n"
         "  upgrade-devir --withdraw-carry --data DİZİN --to N+1\n"
         "                --companies all|KOD,KOD... [--dry-run] [--confirm-closed]\n"
         "  upgrade-devir --help | --version\n"
         "  (her birine [--log DOSYA] eklenebilir)\n";
}

const char* HeadlessUsage() {
  // Every option, the exit statuses and an example: what a user at a
  // command prompt needs without the README. No line is wider than 79
  // characters: an 80-column console wraps a line that fills it.
  static const std::string usage =
      std::string(HeadlessSynopsis()) +
      "\n"
      "Seçenekler:\n"
      "  --devir               yıl sonu devri: --from yılının şirketlerinden --to\n"
      "                        yılının yeni şirketlerini oluşturur\n"
      "  --upgrade             KMX Orvan veya Lumex versiyonunun verisini (--old)\n"
      "                        Pravex versiyonunun DATA dizinine (--data) aktarır;\n"
      "                        --devir ile birlikte verildiğinde devirden önce yapılır\n"
      "  --data DİZİN          Pravex versiyonunun DATA dizini\n"
      "  --old DİZİN           KMX Orvan veya Lumex versiyonunun DATA dizini\n"
      "  --from YIL, --to YIL  devri yapılan yıl ve devir yapılacak yıl (en çok dört\n"
      "                        rakam)\n"
      "  --ytl                 devredilen tutarları Yeni Türk Lirası'na çevirir\n"
      "  --rounding auto|down|up\n"
      "                        YTL yuvarlaması: en yakına (auto, öntanımlı), aşağı\n"
      "                        (down), yukarı (up)\n"
      "  --companies all|KOD,KOD...\n"
      "                        devredilecek şirketler; all (öntanımlı) daha önce\n"
      "                        devredilmiş şirketleri atlar, kodu verilen şirket\n"
      "                        yeniden devredilir\n"
      "  --report-dir DİZİN    mutabakat raporunun kaydedileceği dizin (öntanımlı:\n"
      "                        DATA dizininde \"Devir Raporları\")\n"
      "  --dry-run             bütün denetimleri yapar ve yapılacakları yazar; hiçbir\n"
      "                        şey yazmaz\n"
      "  --confirm-closed      ağ üzerindeki DATA dizininde kilit dosyaları\n"
      "                        bulunduğunda, ürünün bütün bilgisayarlarda kapalı\n"
      "                        olduğunu onaylar\n"
      "  --check-openings      yeni yılın açılış değerlerini eski yılın bugünkü\n"
      "                        kapanışıyla karşılaştırır; raporundan başka hiçbir şey\n"
      "                        yazmaz\n"
      "  --restore-upgrade     upgrade'i geri alır (öntanımlı: en son yapılanı;\n"
      "                        --backup ile adı verilen yedeğinkini): DATA dizini\n"
      "                        upgrade'den önceki haline döner; upgrade'den sonra\n"
      "                        değişen bir dosya varsa hiçbir şey yapılmaz\n"
      "  --backup UD_YEDEK_... geri alınacak upgrade'in yedek dizini\n"
      "  --refresh-openings    devirden sonra eski yıla girilen kayıtlarla eskiyen\n"
      "                        cari ve stok açılışlarını yeni yılda günceller; yeni\n"
      "                        yılda yapılan değişiklikleri korur, çakışanlara\n"
      "                        dokunmaz (önce --dry-run ile deneyiniz)\n"
      "  --withdraw-carry      --to yılına yapılmış devri geri alır: devirden beri\n"
      "                        hiç değişmemiş yeni şirketlerin satırı şirket\n"
      "                        listesinden silinir, dizini ve devir kaydı\n"
      "                        UD_YEDEK_GERIALMA_ ile başlayan bir dizine taşınır;\n"
      "                        --companies yeni yılın kodları ya da all\n"
      "  --log DOSYA           çıktıya yazılan bütün satırları ayrıca DOSYA'ya yazar\n"
      "                        (UTF-8, Not Defteri'nin tanıdığı biçimde)\n"
      "  --help                bu metni yazar\n"
      "  --version             programın sürümünü yazar\n"
      "\n"
      "İlerleme standart hata çıktısına, pencerenin bilgi kutusunda göstereceği\n"
      "iletiler standart çıktıya yazılır.\n"
      "\n"
      "Çıkış durumu:\n"
      "  0  işlem tamamlandı\n"
      "  1  bir denetim ya da işlem çalışmayı iletisiyle durdurdu (devredilecek şirket\n"
      "     kalmadığında ya da verilen bir kod o yılın şirketi olmadığında da)\n"
      "  2  beklenmeyen bir hata (metni standart hata çıktısında)\n"
      "  3  hatalı argümanlar\n"
      "  4  işlem tamamlandı, ama rapor farklı bir satır buldu\n"
      "\n"
      "Örnek:\n"
      "  upgrade-devir --devir --data \"C:\\ZEFIRTAK\\KMX3\\DATA\" --from 2005 --to 2006\n"
      "                --ytl\n";
  return usage.c_str();
}

std::string HeadlessVersion() {
  return version::ProgramName() + "\n";
}

std::optional<HeadlessOptions> ParseHeadlessArguments(const std::vector<std::string>& args,
                                                      std::ostream& err) {
  HeadlessOptions o;
  bool haveData = false, haveOld = false, haveFrom = false, haveTo = false;
  auto fail = [&](const std::string& why) {
    err << "upgrade-devir: " << why << '\n';
    return std::nullopt;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return true;
    };
    std::string v;
    if (a == "--devir") {
      o.devir = true;
    } else if (a == "--upgrade") {
      o.upgrade = true;
    } else if (a == "--confirm-closed") {
      ConfirmClosedForThisProcess();  // the product is closed on every computer
    } else if (a == "--ytl") {
      o.ytl = true;
    } else if (a == "--data") {
      if (!value(o.dataDirectory)) return fail("--data bir dizin ister");
      haveData = true;
    } else if (a == "--old") {
      if (!value(o.oldDataDirectory)) return fail("--old bir dizin ister");
      haveOld = true;
    } else if (a == "--from" || a == "--to") {
      std::string& year = a == "--from" ? o.fromYear : o.toYear;
      if (!value(year)) return fail(a + " bir yıl ister");
      if (!IsYearArgument(year, /*empty=*/true)) return fail(a + " en çok dört rakamlı bir yıl ister: '" + year + "'");
      (a == "--from" ? haveFrom : haveTo) = true;
    } else if (a == "--rounding") {
      if (!value(v)) return fail("--rounding auto, down ya da up ister");
      if (v == "auto")
        o.rounding = 0;
      else if (v == "down")
        o.rounding = 1;
      else if (v == "up")
        o.rounding = 2;
      else
        return fail("--rounding auto, down ya da up ister: '" + v + "'");
    } else if (a == "--dry-run") {
      o.dryRun = true;
    } else if (a == "--report-dir") {
      if (!value(o.reportDirectory)) return fail("--report-dir bir dizin ister");
    } else if (a == "--companies") {
      if (!value(v)) return fail("--companies all ya da şirket kodları ister");
      o.allCompanies = v == "all";
      o.companies = o.allCompanies ? std::vector<std::string>{} : SplitCompanyCodes(v);
      if (!o.allCompanies && o.companies.empty())
        return fail("--companies hiçbir şirket kodu vermiyor");
    } else if (!a.empty() && a[0] == '-') {
      return fail("Bilinmeyen seçenek: " + a);
    } else {
      // Mostly the rest of a directory with a blank, typed without quotes.
      return fail("Beklenmeyen argüman: " + a + " (boşluk içeren dizinleri tırnak içinde yazınız)");
    }
  }
  if (!o.devir && !o.upgrade)
    return fail("yapılacak iş yok: --devir, --upgrade ya da ikisini birden veriniz");
  if (!haveData) return fail("--data verilmedi");
  if (o.upgrade && !haveOld) return fail("--upgrade, --old ister");
  if (!o.upgrade && haveOld) return fail("--old yalnızca --upgrade ile kullanılır");
  if (o.devir && (!haveFrom || !haveTo)) return fail("--devir, --from ve --to ister");
  return o;
}

namespace {

int runCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const ProductCheck& productRunning, const RunJobs& jobs) {
  // Asked for anywhere on the line, help and the version answer alone.
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h" || a == "/?") {
      out << HeadlessUsage();
      return kExitCompleted;
    }
    if (a == "--version") {
      out << HeadlessVersion();
      return kExitCompleted;
    }
  }
  for (const std::string& a : args) {
    if (a == "--check-openings") return RunOpeningsCheckCommand(args, out, err, productRunning);
    if (a == "--withdraw-carry") return RunWithdrawCarryCommand(args, out, err, productRunning);
    if (a == "--restore-upgrade") return RunRestoreUpgradeCommand(args, out, err, productRunning);
    if (a == "--refresh-openings") return RunRefreshOpeningsCommand(args, out, err, productRunning);
  }
  std::optional<HeadlessOptions> options = ParseHeadlessArguments(args, err);
  if (!options) {
    err << HeadlessSynopsis() << "Ayrıntılar için: upgrade-devir --help\n";
    return kExitUsage;
  }
  ConsoleHost host(*options, out, err);
  const RunOptions run = host.runOptions();
  StreamErrors errors(err);
  Workspace ws;
  const RunEnd end = run.dryRun ? DryRun(host, run, errors, productRunning, out)
                                : Button1Click(host, run, ws, errors, productRunning, jobs);
  switch (end) {
    case RunEnd::kCompleted: {
      if (!run.devir || run.dryRun) return kExitCompleted;
      const platform::TypedPath reportDir =
          options->reportDirectory.empty() ? platform::TypedPath()
                                           : platform::TypedPath::resolve(options->reportDirectory);
      const auto report = ReportCarryForward(run, ws, reportDir, out, err);
      return report && !report->agrees() ? kExitReportDiffers : kExitCompleted;
    }
    case RunEnd::kFailed:
      return kExitFailed;
    case RunEnd::kStopped:
    case RunEnd::kCancelled:
      break;
  }
  return kExitStopped;
}

}  // namespace

int RunHeadless(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                const ProductCheck& productRunning, const RunJobs& jobs) {
  std::vector<std::string> rest;
  std::optional<std::string> logFile;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--log") {
      rest.push_back(args[i]);
    } else if (i + 1 < args.size()) {
      logFile = args[++i];
    } else {
      err << "upgrade-devir: --log bir dosya ister\n"
          << HeadlessSynopsis() << "Ayrıntılar için: upgrade-devir --help\n";
      return kExitUsage;
    }
  }
  if (!logFile) return runCommand(rest, out, err, productRunning, jobs);
  RunLog log(out, err);
  if (!log.open(*logFile)) {
    err << "upgrade-devir: Günlük dosyası yazılamadı: " << *logFile << '\n';
    return kExitStopped;
  }
  const int status = runCommand(rest, log.out(), log.err(), productRunning, jobs);
  log.out().flush();
  return status;
}
