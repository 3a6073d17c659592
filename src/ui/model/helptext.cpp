// The help window's text. Lines are kept short enough for the window's
// width: the memo does not wrap them.
#include "ui/model/help.h"

namespace uimodel {

const std::vector<std::string>& HelpLines() {
  static const std::vector<std::string> lines = {
      "KMX Pravex Upgrade - YTL Devir Yardım",
      "",
      "Bu program, KMX Pravex verilerinizi yeni yıla devrederken",
      "YTL sistemine göre düzenler. KMX Orvan veya Lumex kullanıcıları",
      "verilerini tek seferde Pravex'e yükseltip yeni yıla devredebilir;",
      "isterlerse devir ve YTL dönüşümü yapmadan yalnızca upgrade yapabilirler.",
      "",
      "ÖNEMLİ : Herhangi bir devir veya upgrade işleminden önce",
      "KMX verilerinizin mutlaka yedeğini alınız.",
      "",
      "1. Devir ve YTL dönüşümü olmadan yalnızca upgrade",
      "   - KMX Pravex'i kurunuz; Pravex içinde hiçbir işlem yapmayınız.",
      "   - \"Yeni Yıla Devir İşlemi Yap\" seçeneğinin işaretini kaldırınız.",
      "   - Upgrade seçeneğini işaretleyiniz ve eski sürümün \"DATA\" adlı",
      "     dizininin tam yolunu yazınız. Örnek : Orvan için",
      "     \"C:\\ZEFIRTAK\\KMX1\\DATA\", Lumex için \"C:\\ZEFIRTAK\\KMX2\\DATA\".",
      "   - KMX Pravex'in \"DATA\" adlı dizininin tam yolunu yazınız.",
      "     Varsayılan yol \"C:\\ZEFIRTAK\\KMX3\\DATA\" dizinidir.",
      "   - \"Devir-Upgrade\" düğmesine basınız.",
      "   - \"İşlem tamamlandı\" mesajını bekleyiniz.",
      "   - Verilerinizi KMX Pravex içinde kontrol ediniz.",
      "",
      "2. Upgrade ve ardından yeni yıla devir",
      "   - Birinci yoldaki adımları \"Yeni Yıla Devir İşlemi Yap\" seçeneği",
      "     işaretliyken uygulayınız.",
      "   - Para birimi ayarlarında bir değişiklik yapmanız gerekmez.",
      "   - Upgrade işleminden sonra bir şirket seçim penceresi açılır.",
      "   - Devredilecek şirketleri tablonun \"Devret\" sütununa tıklayarak",
      "     seçiniz ve \"Tamam\" ile onaylayınız.",
      "   Not : Devredilen şirket, kendi çalışma yılı ile ayrı bir şirket",
      "   kaydı olarak listelenir. Eski ve yeni şirket kayıtları arasında",
      "   KMX'in şirket seçim menüsünden geçiş yapabilirsiniz.",
      "",
      "3. KMX Pravex içinde YTL dönüşümü ile yeni yıla devir",
      "   - Yalnızca KMX Pravex'in \"DATA\" adlı dizininin tam yolunu yazınız.",
      "   - Devredilecek yılı ve yeni yılı yazınız; \"Devir İşleminde",
      "     Verilerimi YTL sistemine göre düzenle\" seçeneğini işaretleyiniz.",
      "   - \"Devir-Upgrade\" düğmesine basınız; ardından aynı şirket seçim",
      "     penceresi açılır.",
      "   - Devredilecek şirketleri tablonun \"Devret\" sütununa tıklayarak",
      "     seçiniz ve \"Tamam\" ile onaylayınız.",
      "   Not : Devredilen şirket, kendi çalışma yılı ile ayrı bir şirket",
      "   kaydı olarak listelenir. Eski ve yeni şirket kayıtları arasında",
      "   KMX'in şirket seçim menüsünden geçiş yapabilirsiniz.",
  };
  return lines;
}

}  // namespace uimodel
