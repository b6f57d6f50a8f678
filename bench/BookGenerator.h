#pragma once
// A generated address book of invented entries: names with hiragana readings, postal codes,
// addresses over two lines, several telephones, mail addresses and classifications, some
// relations, remarks, honorifics, titles and joint names. The same seed gives the same book.
#include <cstdint>
#include <random>
#include <string>

#include "Cp932.h"

namespace kaede::bench {

inline std::string GenerateBookText(int count, uint32_t seed = 20240601) {
  struct TNamePart {
    const char* Kanji;
    const char* Kana;
  };
  static const TNamePart kFamily[] = {
      {"佐藤", "さとう"},   {"鈴木", "すずき"},     {"高橋", "たかはし"}, {"田中", "たなか"},
      {"伊藤", "いとう"},   {"渡辺", "わたなべ"},   {"山本", "やまもと"}, {"中村", "なかむら"},
      {"小林", "こばやし"}, {"加藤", "かとう"},     {"吉田", "よしだ"},   {"山田", "やまだ"},
      {"佐々木", "ささき"}, {"山口", "やまぐち"},   {"松本", "まつもと"}, {"井上", "いのうえ"},
      {"木村", "きむら"},   {"林", "はやし"},       {"斎藤", "さいとう"}, {"清水", "しみず"},
      {"山崎", "やまざき"}, {"森", "もり"},         {"池田", "いけだ"},   {"橋本", "はしもと"},
      {"阿部", "あべ"},     {"石川", "いしかわ"},   {"山下", "やました"}, {"中島", "なかじま"},
      {"石井", "いしい"},   {"小川", "おがわ"},     {"前田", "まえだ"},   {"岡田", "おかだ"},
      {"長谷川", "はせがわ"}, {"藤田", "ふじた"},   {"後藤", "ごとう"},   {"近藤", "こんどう"},
      {"村上", "むらかみ"}, {"遠藤", "えんどう"},   {"青木", "あおき"},   {"坂本", "さかもと"},
      {"福田", "ふくだ"},   {"太田", "おおた"},     {"西村", "にしむら"}, {"藤井", "ふじい"},
      {"金子", "かねこ"},   {"和田", "わだ"},       {"中野", "なかの"},   {"原田", "はらだ"},
      {"野口", "のぐち"},   {"渡部", "わたべ"},     {"吉川", "よしかわ"}, {"柳田", "やなぎだ"},
      {"若林", "わかばやし"}, {"丸山", "まるやま"}, {"楠本", "くすもと"}, {"蛭田", "ひるた"},
  };
  static const TNamePart kGiven[] = {
      {"太郎", "たろう"},   {"花子", "はなこ"},   {"大輔", "だいすけ"}, {"美咲", "みさき"},
      {"翔太", "しょうた"}, {"陽菜", "ひな"},     {"健一", "けんいち"}, {"由美子", "ゆみこ"},
      {"誠", "まこと"},     {"愛", "あい"},       {"拓也", "たくや"},   {"真由美", "まゆみ"},
      {"直樹", "なおき"},   {"恵", "めぐみ"},     {"悠斗", "ゆうと"},   {"結衣", "ゆい"},
      {"浩二", "こうじ"},   {"智子", "ともこ"},   {"亮", "りょう"},     {"さくら", "さくら"},
      {"勇気", "ゆうき"},   {"千尋", "ちひろ"},   {"隆", "たかし"},     {"優子", "ゆうこ"},
      {"和也", "かずや"},   {"明美", "あけみ"},   {"修", "おさむ"},     {"綾乃", "あやの"},
      {"剛", "つよし"},     {"舞", "まい"},       {"雄一", "ゆういち"}, {"葵", "あおい"},
      {"蓮", "れん"},       {"凛", "りん"},       {"湊", "みなと"},     {"紬", "つむぎ"},
  };
  static const char* const kTowns[] = {
      "東京都千代田区丸の内", "東京都世田谷区三軒茶屋", "神奈川県横浜市中区山下町",
      "大阪府大阪市北区梅田", "愛知県名古屋市中村区名駅", "北海道札幌市中央区大通西",
      "福岡県福岡市博多区博多駅前", "京都府京都市左京区下鴨", "兵庫県神戸市中央区三宮町",
      "宮城県仙台市青葉区一番町", "広島県広島市中区紙屋町", "埼玉県さいたま市浦和区高砂",
      "千葉県千葉市中央区富士見", "静岡県浜松市中区鍛冶町", "新潟県新潟市中央区古町通",
      "長野県松本市中央", "沖縄県那覇市久茂地", "石川県金沢市香林坊", "熊本県熊本市中央区花畑町",
      "岡山県岡山市北区表町",
  };
  static const char* const kBuildings[] = {"メゾン桜", "グランドハイツ", "コーポ若葉", "パークサイド",
                                          "サンライズマンション", "ヴィラ青葉"};
  static const char* const kClassify[] = {"家族", "親戚", "友人", "会社", "取引先", "年賀状",
                                         "学校", "サークル", "近所", "喪中"};
  static const char* const kTelKinds[] = {"自宅", "携帯", "FAX", "IP"};
  static const char* const kMailKinds[] = {"個人", "会社", "PC", "携帯"};
  static const char* const kRelationKinds[] = {"勤務先", "実家", "妻", "夫", "息子", "娘"};
  static const char* const kKeisyo[] = {"", "", "", "", "", "", "様", "先生", "殿", "（なし）"};
  static const char* const kTitles[] = {"", "", "", "", "", "", "部長", "課長", "代表取締役", "教授"};
  static const char* const kMailDomains[] = {"example.com", "example.net", "example.org"};

  std::mt19937 rng(seed);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<uint32_t>(n)); };
  auto digits = [&](int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += static_cast<char>('0' + pick(10));
    return s;
  };
  auto join = [](const std::string& a, const std::string& b) { return a.empty() ? b : a + "|" + b; };
  auto quoteIfNeeded = [](const std::string& v) {
    bool q = false;
    for (unsigned char c : v) q = q || c == '"' || c == ',' || c <= 0x20;
    return q ? "\"" + v + "\"" : v;
  };
  const int nFamily = static_cast<int>(std::size(kFamily)), nGiven = static_cast<int>(std::size(kGiven));
  std::string out;
  out.reserve(static_cast<size_t>(count) * 200);
  for (int i = 0; i < count; ++i) {
    const TNamePart& f = kFamily[pick(nFamily)];
    const TNamePart& g = kGiven[pick(nGiven)];
    std::string name = std::string(f.Kanji) + " " + g.Kanji;
    std::string yomi = std::string(f.Kana) + " " + g.Kana;
    std::string tels, mails, classify, relations, remarks, renmei;
    int nTels = 1 + pick(2) + (pick(4) == 0 ? 1 : 0);
    for (int t = 0; t < nTels; ++t) {
      std::string number = t == 1 ? std::string("090-") : std::string("0") + digits(1) + "-";
      number += digits(4);
      number += '-';
      number += digits(4);
      tels = join(tels, std::string(kTelKinds[(t + pick(2)) % 4]) + ":" + number);
    }
    int nMails = pick(4) == 0 ? 2 : 1;
    for (int m = 0; m < nMails; ++m)
      mails = join(mails, std::string(kMailKinds[pick(4)]) + ":u" + std::to_string(i) + (m ? "b@" : "@") + kMailDomains[pick(3)]);
    std::string url = pick(10) == 0 ? "https://www.example.com/~user" + std::to_string(i) + "/" : "";
    std::string postal = digits(7);
    std::string address = std::string(kTowns[pick(20)]) + std::to_string(1 + pick(9)) + "-" + std::to_string(1 + pick(30)) +
                          "-" + std::to_string(1 + pick(20));
    if (pick(3) == 0) address += std::string("|") + kBuildings[pick(6)] + std::to_string(100 + pick(900)) + "号室";
    int nClassify = 1 + pick(3);
    int c0 = pick(10);
    for (int c = 0; c < nClassify; ++c) classify = join(classify, kClassify[(c0 + c * 3) % 10]);
    if (pick(4) == 0)
      relations = std::string(kRelationKinds[pick(6)]) + ":" + kFamily[pick(nFamily)].Kanji + " " + kGiven[pick(nGiven)].Kanji;
    if (pick(5) == 0) remarks = "平成" + std::to_string(1 + pick(30)) + "年に年賀状|誕生日は" + std::to_string(1 + pick(12)) + "月";
    if (pick(6) == 0) renmei = std::string(kGiven[pick(nGiven)].Kanji) + "|" + kGiven[pick(nGiven)].Kanji;
    std::string registered = std::to_string(2000 + pick(20)) + "/" + std::to_string(1 + pick(12)) + "/" + std::to_string(1 + pick(28));
    std::string updated = pick(2) ? std::to_string(2020 + pick(5)) + "/" + std::to_string(1 + pick(12)) + "/" + std::to_string(1 + pick(28)) : "0/0/0";
    const char* fields[] = {name.c_str(), yomi.c_str(), tels.c_str(), mails.c_str(), url.c_str(), postal.c_str(),
                            address.c_str(), classify.c_str(), relations.c_str(), remarks.c_str(), registered.c_str(),
                            updated.c_str(), kKeisyo[pick(10)], kTitles[pick(10)], renmei.c_str()};
    std::string line;
    for (size_t k = 0; k < std::size(fields); ++k) {
      if (k) line += ',';
      line += quoteIfNeeded(fields[k]);
    }
    out += Utf8ToSjis(line);
    out += "\r\n";
  }
  return out;
}

}  // namespace kaede::bench
