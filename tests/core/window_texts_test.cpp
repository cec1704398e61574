#include "window_texts.h"

#include <gtest/gtest.h>

#include <string>

#include "sjis_utf8.h"

namespace pikrotta {
namespace {

// Each Shift-JIS constant against the text as it is read, typed here in UTF-8, converted by
// the host's conversion both ways, so no byte of either side is taken on trust.
void ExpectText(const char* sjis, const char* utf8) {
  EXPECT_EQ(SjisToUtf8(sjis), utf8);
  EXPECT_EQ(Utf8ToSjis(utf8), sjis) << utf8;
}

TEST(WindowTexts, CaptionsMarksAndMessage) {
  ExpectText(texts::kApplicationTitle, "Ventro_Pikrotta");
  ExpectText(texts::kFormCaption, "Pikrotta");
  ExpectText(texts::kWindowFontName, "ＭＳ ゴシック");
  ExpectText(texts::kLabel1Caption, "図面ファイル名：");
  ExpectText(texts::kLabel2Caption, "（新規）");
  ExpectText(texts::kNewDrawing, "(新規)");
  ExpectText(texts::kReading, "読み込み中…");
  ExpectText(texts::kNoSearchYet, "---");
  ExpectText(texts::kButton2Caption, "検索(&S)");
  ExpectText(texts::kButton1Caption, "閉じる(&C)");
  ExpectText(texts::kFullWidthBlank, "　");
  ExpectText(texts::kMarkUnresolvable, "　？");
  ExpectText(texts::kMarkFound, "　○");
  ExpectText(texts::kMarkMissing, "　×");
  ExpectText(texts::kMarkNetwork, "※");
  ExpectText(texts::kListHeader, "画像参照文字数：");
  ExpectText(texts::kMissingAutoSaveFolder,
             "指定された自動保存フォルダが存在しません。確認して下さい。");
}

TEST(WindowTexts, HelpTextLineByLine) {
  const char* const expected[] = {
      "◇[検索]をクリックして下さい。",
      "◇マークは文字基準点に付けられます。",
      "◆画像同梱用の一時作成フォルダは、最新のものを見に行く為、",
      "　Jw_cadを複数起動している場合には正常にチェック出来ません。",
      "◇一覧の画像ファイル名の右横",
      "　「？」・・・図面が新規状態で相対パス表記の場合。",
      "　「○」・・・画像ファイルが見つかりました。",
      "　「×」・・・画像ファイルが見つかりません。",
      "　「※」・・・ネットワーク共用フォルダを直接参照しています。",
      "　　　　　　画像同梱には失敗しますので要注意。",
      "　",
      "◆ブロック図形内のものは処理出来ませんので御注意下さい。",
      "　ブロック編集内で行う場合には、本ソフトを",
      "　Jw_cadのインストール・フォルダに配置して実行を行って下さい。",
      "◆ウイルス／セキュリティソフト／セキュリティ設定の画面が",
      "　表示され、許可／遮断を問い合わせてきた場合には",
      "　「許可」を選択して下さい。",
  };
  ASSERT_EQ(texts::kHelpLines.size(), std::size(expected));
  for (size_t i = 0; i < texts::kHelpLines.size(); ++i) {
    SCOPED_TRACE("line " + std::to_string(i + 1));
    ExpectText(texts::kHelpLines[i], expected[i]);
  }
  // Indented lines begin with full-width blanks (81 40), never with ASCII ones.
  EXPECT_EQ(std::string(texts::kHelpLines[9]).substr(0, 12),
            "\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40");
  EXPECT_EQ(std::string(texts::kHelpLines[10]), "\x81\x40");
}

}  // namespace
}  // namespace pikrotta
