#include "render/font_substitutes.h"

#include <QFont>
#include <QStringList>
#include <algorithm>

namespace lunetta {

namespace {

constexpr int kBlack = 900;

constexpr FontSubstitute kSubstitutes[] = {
    {u"Arial Black", {u"Roboto", u"Liberation Sans"}, kBlack},
    {u"Arial", {u"Liberation Sans"}},
    {u"Times New Roman", {u"Liberation Serif"}},
    {u"Courier New", {u"Liberation Mono"}},
    {u"Garamond", {u"EB Garamond"}},
    {u"Century", {u"C059"}},
    {u"ＭＳ 明朝", {u"IPAMincho", u"Noto Serif CJK JP"}},
    {u"MS Mincho", {u"IPAMincho", u"Noto Serif CJK JP"}},
    {u"ＭＳ Ｐ明朝", {u"IPAPMincho", u"Noto Serif CJK JP"}},
    {u"MS PMincho", {u"IPAPMincho", u"Noto Serif CJK JP"}},
    {u"ＭＳ ゴシック", {u"IPAGothic", u"Noto Sans CJK JP"}},
    {u"MS Gothic", {u"IPAGothic", u"Noto Sans CJK JP"}},
    {u"ＭＳ Ｐゴシック", {u"IPAPGothic", u"Noto Sans CJK JP"}},
    {u"MS PGothic", {u"IPAPGothic", u"Noto Sans CJK JP"}},
    // The dialog templates' faces: IPAPGothic's metrics are close to those the templates were
    // designed with, so dialogs come out at about their designed size.
    {u"MS UI Gothic", {u"IPAPGothic", u"Noto Sans CJK JP"}},
    {u"MS Shell Dlg", {u"IPAPGothic", u"Noto Sans CJK JP"}},
    {u"メイリオ", {u"Noto Sans CJK JP", u"IPAPGothic"}},
    {u"Meiryo", {u"Noto Sans CJK JP", u"IPAPGothic"}},
};

}  // namespace

std::span<const FontSubstitute> FontSubstitutes() {
  return kSubstitutes;
}

void InstallFontSubstitutes() {
  static const bool installed = [] {
    for (const FontSubstitute& substitute : kSubstitutes) {
      QStringList families;
      for (QStringView family : substitute.families) {
        if (!family.isEmpty()) {
          families << family.toString();
        }
      }
      QFont::insertSubstitutions(substitute.face.toString(), families);
    }
    return true;
  }();
  (void)installed;
}

int SubstituteWeight(QStringView face, int weight) {
  const auto found = std::find_if(std::begin(kSubstitutes), std::end(kSubstitutes),
                                  [&](const FontSubstitute& substitute) {
                                    return substitute.face.compare(face, Qt::CaseInsensitive) == 0;
                                  });
  return found == std::end(kSubstitutes) ? weight : std::max(weight, found->weight);
}

}  // namespace lunetta
