#include "platform/fonts.h"

#include <QFont>
#include <QString>
#include <cstdlib>

#include "platform/code_page.h"

namespace quib {

namespace {

struct FaceMapping {
  const char* windowsFace;  // UTF-8
  const char* family;
};

constexpr FaceMapping Mappings[] = {
    {"MS UI Gothic", "IPAPGothic"},
    {"\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF",
     "IPAPGothic"},  // ＭＳ Ｐゴシック
    {"MS PGothic", "IPAPGothic"},
    {"\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF",
     "IPAGothic"},  // ＭＳ ゴシック
    {"MS Gothic", "IPAGothic"},
    {"Arial", "Liberation Sans"},
    {"Comic Sans MS", "Comic Neue"},
};

constexpr const char* DefaultJapaneseFamily = "IPAPGothic";

}  // namespace

void InstallFontSubstitutions() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (const auto& m : Mappings)
    QFont::insertSubstitution(QString::fromUtf8(m.windowsFace), QString::fromLatin1(m.family));
}

std::string MappedFontFamily(const std::string& face) {
  if (face.empty()) return DefaultJapaneseFamily;
  QString name = QString::fromStdString(DecodeToUtf8(face)).trimmed();
  if (name.isEmpty()) return DefaultJapaneseFamily;
  for (const auto& m : Mappings)
    if (name.compare(QString::fromUtf8(m.windowsFace), Qt::CaseInsensitive) == 0) return m.family;
  return name.toStdString();
}

const char* JapaneseFallbackFamily() {
  return DefaultJapaneseFamily;
}

int FontPixelSize(int points) {
  if (points == 0) return 16;
  int p = std::abs(points);
  return (p * 96 + 36) / 72;
}

}  // namespace quib
