// The help window's text. Fixed at build time; never changed while running.
#include <QStringList>

#include "ui/help.h"

QString helpText() {
  // Lines are kept short enough for the window's width: the memo does not
  // wrap them.
  static const QStringList lines = {
      QStringLiteral("KMX Pravex Upgrade - YTL Devir Yardım"),
      QString(),
      QStringLiteral("Bu program, KMX Pravex verilerinizi yeni yıla devrederken"),
      QStringLiteral("YTL sistemine göre düzenler. KMX Orvan veya Lumex kullanıcıları"),
      QStringLiteral("verilerini tek seferde Pravex'e yükseltip yeni yıla devredebilir;"),
      QStringLiteral("isterlerse devir ve YTL dönüşümü yapmadan yalnızca upgrade yapabilirler."),
      QString(),
      QStringLiteral("ÖNEMLİ : Herhangi bir devir veya upgrade işleminden önce"),
      QStringLiteral("KMX verilerinizin mutlaka yedeğini alınız."),
      QString(),
      QStringLiteral("1. Devir ve YTL dönüşümü olmadan yalnızca upgrade"),
      QStringLiteral("   - KMX Pravex'i kurunuz; Pravex içinde hiçbir işlem yapmayınız."),
      QStringLiteral("   - \"Yeni Yıla Devir İşlemi Yap\" seçeneğinin işaretini kaldırınız."),
      QStringLiteral("   - Upgrade seçeneğini işaretleyiniz ve eski sürümün \"DATA\" adlı"),
      QStringLiteral("     dizininin tam yolunu yazınız. Örnek : Orvan için"),
      QStringLiteral("     \"C:\\ZEFIRTAK\\KMX1\\DATA\", Lumex için \"C:\\ZEFIRTAK\\KMX2\\DATA\"."),
      QStringLiteral("   - KMX Pravex'in \"DATA\" adlı dizininin tam yolunu yazınız."),
      QStringLiteral("     Varsayılan yol \"C:\\ZEFIRTAK\\KMX3\\DATA\" dizinidir."),
      QStringLiteral("   - \"Devir-Upgrade\" düğmesine basınız."),
      QStringLiteral("   - \"İşlem tamamlandı\" mesajını bekleyiniz."),
      QStringLiteral("   - Verilerinizi KMX Pravex içinde kontrol ediniz."),
      QString(),
      QStringLiteral("2. Upgrade ve ardından yeni yıla devir"),
      QStringLiteral("   - Birinci yoldaki adımları \"Yeni Yıla Devir İşlemi Yap\" seçeneği"),
      QStringLiteral("     işaretliyken uygulayınız."),
      QStringLiteral("   - Para birimi ayarlarında bir değişiklik yapmanız gerekmez."),
      QStringLiteral("   - Upgrade işleminden sonra bir şirket seçim penceresi açılır."),
      QStringLiteral("   - Devredilecek şirketleri tablonun \"Devret\" sütununa tıklayarak"),
      QStringLiteral("     seçiniz ve \"Tamam\" ile onaylayınız."),
      QStringLiteral("   Not : Devredilen şirket, kendi çalışma yılı ile ayrı bir şirket"),
      QStringLiteral("   kaydı olarak listelenir. Eski ve yeni şirket kayıtları arasında"),
      QStringLiteral("   KMX'in şirket seçim menüsünden geçiş yapabilirsiniz."),
      QString(),
      QStringLiteral("3. KMX Pravex içinde YTL dönüşümü ile yeni yıla devir"),
      QStringLiteral("   - Yalnızca KMX Pravex'in \"DATA\" adlı dizininin tam yolunu yazınız."),
      QStringLiteral("   - Devredilecek yılı ve yeni yılı yazınız; \"Devir İşleminde"),
      QStringLiteral("     Verilerimi YTL sistemine göre düzenle\" seçeneğini işaretleyiniz."),
      QStringLiteral("   - \"Devir-Upgrade\" düğmesine basınız; ardından aynı şirket seçim"),
      QStringLiteral("     penceresi açılır."),
      QStringLiteral("   - Devredilecek şirketleri tablonun \"Devret\" sütununa tıklayarak"),
      QStringLiteral("     seçiniz ve \"Tamam\" ile onaylayınız."),
      QStringLiteral("   Not : Devredilen şirket, kendi çalışma yılı ile ayrı bir şirket"),
      QStringLiteral("   kaydı olarak listelenir. Eski ve yeni şirket kayıtları arasında"),
      QStringLiteral("   KMX'in şirket seçim menüsünden geçiş yapabilirsiniz."),
  };
  return lines.join(QLatin1Char('\n'));
}
