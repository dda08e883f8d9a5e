// The clickable-map document's lines, its names and addresses, and the preview fit.
#include "imagemap/map_document.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <vector>

namespace pelnoro {
namespace {

using imagemap::AreaCoords;
using imagemap::CoordsOnPicture;
using imagemap::MapDocument;
using Lines = std::vector<std::wstring>;

const AreaCoords kCoords{L"12", L"30", L"140", L"96"};

std::wstring joined(const Lines& lines) {
  std::wstring t;
  for (const auto& l : lines) t += l + L"\n";
  return t;
}

TEST(MapDocumentTest, WholeDocument) {
  MapDocument doc;
  Lines all = doc.headLines(L"TEST03.JPG", 300, 200, imagemap::MapName(2003, 1, 8, 9, 5, 7));
  for (auto part :
       {doc.areaLines(kCoords, L"http://example.com/a.html", L"http://example.com/a.html", false,
                      L"a", 0, 0),
        doc.areaLines(kCoords, L"C:\\clip\\big.jpg", L"C:/clip/big.jpg", true, L"big", 424, 324),
        MapDocument::tailLines()})
    all.insert(all.end(), part.begin(), part.end());
  EXPECT_EQ(all, (Lines{
                     L"<html><p>",
                     L"<img src=\"TEST03.JPG\" width=\"300\" height=\"200\" border=\"0\" "
                     L"usemap=\"#lm030108_090507\">",
                     L"<map name=\"lm030108_090507\">",
                     L"<area shape=\"rect\" coords=\"12,30,140,96\" "
                     L"href=\"http://example.com/a.html\">",
                     L"<SCRIPT language=\"JavaScript\">",
                     L"<!--",
                     L"function Openbig(){win=window.open(\"file:///C:/clip/big.jpg\",\"new\","
                     L"\"width=424,height=324\");}",
                     L"// -->",
                     L"</SCRIPT>",
                     L"<area shape=\"rect\" coords=\"12,30,140,96\" href=\"javascript:void(0)\" "
                     L"onClick=\"Openbig()\">",
                     L"</map>",
                     L"</p></html>",
                 }));
}

TEST(MapDocumentTest, AreaCornersStayOnThePicture) {
  // A 240 x 180 picture: x up to 239, y up to 179; captions on it are kept as written.
  const std::pair<AreaCoords, AreaCoords> cases[] = {
      {{L"0", L"170", L"18", L"186"}, {L"0", L"170", L"18", L"179"}},
      {{L"-4", L"-0.5", L"239", L"179"}, {L"0", L"0", L"239", L"179"}},
      {{L"12.5", L"30", L"240", L"200"}, {L"12.5", L"30", L"239", L"179"}},
      {{L"200", L"10", L"230", L"20"}, {L"200", L"10", L"230", L"20"}},
      {{L"", L"", L"", L""}, {L"", L"", L"", L""}},
  };
  for (const auto& [given, kept] : cases) {
    SCOPED_TRACE(given.x1 + L"," + given.y1 + L"," + given.x2 + L"," + given.y2);
    EXPECT_EQ(CoordsOnPicture(given, 240, 180), kept);
  }
  // Turned: the same corners on a 180 x 240 picture.
  EXPECT_EQ(CoordsOnPicture({L"0", L"170", L"200", L"186"}, 180, 240),
            (AreaCoords{L"0", L"170", L"179", L"186"}));
}

TEST(MapDocumentTest, NamesAndPaths) {
  EXPECT_EQ(imagemap::MapName(2003, 1, 8, 9, 5, 7), L"lm030108_090507");
  EXPECT_EQ(imagemap::MapName(2019, 12, 31, 23, 59, 58), L"lm191231_235958");
  EXPECT_EQ(imagemap::MapName(2000, 10, 1, 0, 0, 0), L"lm001001_000000");
  EXPECT_EQ(imagemap::MapHtmlPath(L"C:\\clip\\", L"TEST", false, L"03"), L"C:\\clip\\TEST.html");
  EXPECT_EQ(imagemap::MapHtmlPath(L"C:\\clip\\", L"TEST", true, L"03"), L"C:\\clip\\TEST03.html");
  EXPECT_EQ(imagemap::BaseName(L"photo.large.jpg"), L"photo");
  EXPECT_EQ(imagemap::BaseName(L"README"), L"README");
  EXPECT_EQ(imagemap::BaseName(L".profile"), L"");
}

TEST(MapDocumentTest, LocalPathsBecomeFileAddresses) {
  using imagemap::LinkAddress;
  EXPECT_EQ(LinkAddress(L"C:\\My Pics\\a#1%?.jpg"), L"file:///C:/My%20Pics/a%231%25%3F.jpg");
  EXPECT_EQ(LinkAddress(L"d:/x/y.png"), L"file:///d:/x/y.png");
  // A file at a drive root comes from the dialog with two backslashes.
  EXPECT_EQ(LinkAddress(L"C:\\\\写真.jpg"), L"file:///C:/%E5%86%99%E7%9C%9F.jpg");
  EXPECT_EQ(LinkAddress(L"C:\\한\U0001F600.png"), L"file:///C:/%ED%95%9C%F0%9F%98%80.png");
  EXPECT_EQ(LinkAddress(L"\\\\server\\share\\dir\\f g.jpg"), L"file://server/share/dir/f%20g.jpg");
  EXPECT_EQ(LinkAddress(L"\\\\?\\C:\\x.jpg"), L"file:///C:/x.jpg");
  EXPECT_EQ(LinkAddress(L"\\\\?\\UNC\\srv\\sh\\x"), L"file://srv/sh/x");
  // Typed addresses stay as typed.
  for (const wchar_t* web : {L"http://example.com/a b?x=1#f", L"https://例え.jp/ページ",
                             L"mailto:a@b.c", L"#top", L"sub\\page.html", L"../up.html", L"C:",
                             L"C:file", L"//server/share", L"file:///C:/already.html", L""})
    EXPECT_EQ(LinkAddress(web), web);
}

TEST(MapDocumentTest, ImageNamedRelativeToTheDocument) {
  using imagemap::RelativeFileAddress;
  EXPECT_EQ(RelativeFileAddress(L"TEST 01#?%.JPG"), L"TEST%2001%23%3F%25.JPG");
  EXPECT_EQ(RelativeFileAddress(L"写真01.PNG"), L"%E5%86%99%E7%9C%9F01.PNG");
  EXPECT_EQ(RelativeFileAddress(L"a:b.bmp"), L"a%3Ab.bmp");
  MapDocument doc;
  EXPECT_EQ(doc.headLines(L"it's&(1).JPG", 1, 2, L"lm")[1],
            L"<img src=\"it&#39;s&amp;(1).JPG\" width=\"1\" height=\"2\" border=\"0\" "
            L"usemap=\"#lm\">");
}

TEST(MapDocumentTest, BackslashTargetsInBothForms) {
  MapDocument doc;
  EXPECT_EQ(doc.plainAreaLines(kCoords, L"C:\\clip\\a b.jpg")[0],
            L"<area shape=\"rect\" coords=\"12,30,140,96\" href=\"file:///C:/clip/a%20b.jpg\">");
  EXPECT_EQ(doc.plainAreaLines(kCoords, L"pics\\a.jpg")[0],
            L"<area shape=\"rect\" coords=\"12,30,140,96\" href=\"pics\\a.jpg\">");
  EXPECT_EQ(doc.popupAreaLines(kCoords, L"pics\\a.jpg", L"pics/a.jpg", L"a", 30, 40)[2],
            L"function Opena(){win=window.open(\"pics/a.jpg\",\"new\",\"width=30,height=40\");}");
  EXPECT_EQ(
      doc.popupAreaLines(kCoords, L"\\\\nas\\pub\\b.jpg", L"//nas/pub/b.jpg", L"b", 30, 40)[2],
      L"function Openb(){win=window.open(\"file://nas/pub/b.jpg\",\"new\","
      L"\"width=30,height=40\");}");
}

TEST(MapDocumentTest, HostileTargetsAreEscapedForWhereTheyGo) {
  const std::wstring evil = L"http://x/?a=1&b=\"2\"<i>'</script><script>alert(1)</script>\\\n";
  MapDocument doc;
  EXPECT_EQ(doc.plainAreaLines(kCoords, evil)[0],
            L"<area shape=\"rect\" coords=\"12,30,140,96\" href=\"http://x/?a=1&amp;b=&quot;2&quot;"
            L"&lt;i&gt;&#39;&lt;/script&gt;&lt;script&gt;alert(1)&lt;/script&gt;\\&#xA;\">");
  const Lines popup = doc.popupAreaLines(kCoords, evil, evil, L"x", 1, 1);
  EXPECT_EQ(popup[2],
            L"function Openx(){win=window.open(\"http://x/?a=1&b=\\\"2\\\"\\x3Ci\\x3E\\'"
            L"\\x3C/script\\x3E\\x3Cscript\\x3Ealert(1)\\x3C/script\\x3E\\\\\\x0A\",\"new\","
            L"\"width=1,height=1\");}");
  // The script ends only where the document ends it, and no line is broken.
  std::wstring lower = joined(popup);
  for (auto& c : lower) c = static_cast<wchar_t>(std::towlower(c));
  EXPECT_EQ(lower.find(L"</script"), lower.rfind(L"</script"));
  EXPECT_EQ(popup.size(), 6u);
  for (const auto& l : popup) EXPECT_EQ(l.find_first_of(L"\r\n\u2028"), std::wstring::npos);
  EXPECT_EQ(imagemap::EscapeScriptString(L"a\u2028b\tc\x7F", imagemap::FitsCp932),
            L"a\\u2028b\\x09c\\x7F");
  // Coordinates are captions: whatever they hold stays inside the attribute.
  EXPECT_EQ(doc.plainAreaLines({L"1\"", L"2", L"3", L"4"}, L"#")[0],
            L"<area shape=\"rect\" coords=\"1&quot;,2,3,4\" href=\"#\">");
}

TEST(MapDocumentTest, CharactersOutsideTheCodePageAsReferences) {
  EXPECT_TRUE(imagemap::FitsCp932(L'写'));
  EXPECT_FALSE(imagemap::FitsCp932(L'한'));
  const std::wstring target = L"https://例え.jp/한\U0001F600";
  MapDocument doc;
  const std::wstring plain = doc.plainAreaLines(kCoords, target)[0];
  EXPECT_NE(plain.find(L"href=\"https://例え.jp/&#xD55C;&#x1F600;\""), std::wstring::npos) << plain;
  const std::wstring script = doc.popupAreaLines(kCoords, target, target, L"x", 1, 1)[2];
  EXPECT_NE(script.find(L"(\"https://例え.jp/\\uD55C\\uD83D\\uDE00\","), std::wstring::npos)
      << script;
  // Whatever the check says does not fit is a reference: here, all beyond ASCII.
  MapDocument ascii([](wchar_t c) { return c < 0x80; });
  EXPECT_EQ(ascii.plainAreaLines(kCoords, L"https://例え.jp/")[0],
            L"<area shape=\"rect\" coords=\"12,30,140,96\" href=\"https://&#x4F8B;&#x3048;.jp/\">");
  // As 16-bit text holds it: a surrogate pair is one character, a lone one none.
  const std::wstring pair{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
  EXPECT_EQ(imagemap::EscapeAttribute(pair, imagemap::FitsCp932), L"&#x1F600;");
  EXPECT_EQ(imagemap::EscapeScriptString(pair, imagemap::FitsCp932), L"\\uD83D\\uDE00");
  EXPECT_EQ(imagemap::LinkAddress(L"C:\\" + pair), L"file:///C:/%F0%9F%98%80");
  EXPECT_EQ(imagemap::EscapeAttribute(std::wstring{static_cast<wchar_t>(0xD800), L'x'},
                                      imagemap::FitsCp932),
            L"&#xFFFD;x");
  // A C1 control would be read as a windows-1252 character (&#x85; as "…").
  EXPECT_EQ(imagemap::EscapeAttribute(L"a\x85\x9F\xA0", imagemap::FitsCp932),
            L"a&#xFFFD;&#xFFFD;&#xA0;");
}

// The function a popup area calls, from its definition and from the area itself.
std::wstring calledFunction(const Lines& popup) {
  const std::wstring& def = popup[2];
  const std::wstring name = def.substr(9, def.find(L'(') - 9);
  EXPECT_NE(popup[5].find(L"onClick=\"" + name + L"()\""), std::wstring::npos) << popup[5];
  return name;
}

TEST(MapDocumentTest, EachPopupAreaCallsAFunctionOfItsOwn) {
  MapDocument doc;
  auto popup = [&](const wchar_t* target, const wchar_t* base) {
    return calledFunction(doc.popupAreaLines(kCoords, target, target, base, 100, 80));
  };
  EXPECT_EQ(popup(L"a.jpg", L"a"), L"Opena");
  EXPECT_EQ(popup(L"a.png", L"a"), L"Opena_2");
  EXPECT_EQ(popup(L"a_2.gif", L"a_2"), L"Opena_2_2");
  EXPECT_EQ(popup(L"my photo (1).jpg", L"my photo (1)"), L"Openmy_photo__1_");
  EXPECT_EQ(popup(L"my_photo__1_.jpg", L"my_photo__1_"), L"Openmy_photo__1__2");
  EXPECT_EQ(popup(L"2003-01.jpg", L"2003-01"), L"Open2003_01");
  EXPECT_EQ(popup(L"12.jpg", L"12"), L"Open12");
  EXPECT_EQ(popup(L"写真.jpg", L"写真"), L"Open写真");
  EXPECT_EQ(popup(L"한.jpg", L"한"), L"Open_");
  EXPECT_EQ(popup(L".jpg", L""), L"Open");
  // The same area linked again repeats its entry unchanged.
  const Lines first = doc.popupAreaLines(kCoords, L"a.jpg", L"a.jpg", L"a", 100, 80);
  EXPECT_EQ(doc.popupAreaLines(kCoords, L"a.jpg", L"a.jpg", L"a", 100, 80), first);
  EXPECT_EQ(calledFunction(first), L"Opena");
  // A new document starts with no names taken.
  doc.headLines(L"x.JPG", 1, 1, L"lm");
  EXPECT_EQ(popup(L"a.png", L"a"), L"Opena");
}

}  // namespace
}  // namespace pelnoro
