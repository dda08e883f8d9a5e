// The lines of the clickable-map HTML document (without line ends): head, area
// entries and tail, and the names the document and its file get.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace pelnoro::imagemap {

// Whether the document's code page can hold a character. Only asked about
// characters of the Basic Multilingual Plane that are no surrogates; the others
// never fit.
using CharFits = std::function<bool(wchar_t)>;

// Code page 932, the one the document file is written in: a character fits when it
// comes back unchanged from a round trip through it.
bool FitsCp932(wchar_t c);

// "lm" yymmdd "_" hhmmss (24-hour clock), e.g. lm030108_090507.
std::wstring MapName(int year, int month, int day, int hour, int minute, int second);

// folder (ending with a backslash) + fileName + numberText when numbering + ".html".
std::wstring MapHtmlPath(const std::wstring& folder, const std::wstring& fileName,
                         bool autoNumbering, const std::wstring& numberText);

// A file name up to, not including, its first "."; the whole name when it has none
// (photo.large.jpg -> photo).
std::wstring BaseName(std::wstring_view fileName);

// The pieces the lines are made of.

// Text for a double-quoted HTML attribute value: & " < > ' and control characters as
// references, characters that do not fit as &#x...; references.
std::wstring EscapeAttribute(std::wstring_view text, const CharFits& fits);

// Text for a JavaScript string literal inside <SCRIPT>: \ " ' escaped; < > and control
// characters, line separators and characters that do not fit as \x / \u escapes, so
// that neither </script nor a line break can appear.
std::wstring EscapeScriptString(std::wstring_view text, const CharFits& fits);

// What a link stands as in the document: a drive path (X:\... or X:/...) becomes
// file:///X:/..., a UNC path (\\server\share\...) file://server/share/..., with
// slashes and percent escapes (a \\?\ prefix dropped); anything else (a web
// or mail address, a relative address, a #fragment) is left as typed.
std::wstring LinkAddress(std::wstring_view target);

// The image's address relative to the document beside it: its file name,
// percent-encoded where an address needs it (non-ASCII as UTF-8).
std::wstring RelativeFileAddress(std::wstring_view fileName);

// The four selection captions (start X, start Y, end X, end Y), copied unchanged.
struct AreaCoords {
  std::wstring x1, y1, x2, y2;
  bool operator==(const AreaCoords&) const = default;
};

// The corners kept on a picture of width x height pixels (0 to the last pixel): a
// caption on it stays as written, one beside it becomes the edge. A selection made
// before a turn or a scaling may lie beside the picture now.
AreaCoords CoordsOnPicture(const AreaCoords& c, int width, int height);

// One run of link mode: the document's lines, and the popup functions named so
// far, so that no two popup areas share a function by accident.
class MapDocument {
 public:
  explicit MapDocument(CharFits fits = FitsCp932);

  // Three lines. The image is named relative to the document, which always lies in
  // the image's folder. Starts a new run: forgets the functions named before.
  std::vector<std::wstring> headLines(std::wstring_view imageFileName, int width, int height,
                                      std::wstring_view mapName);

  // One line: a rectangle linking to the target.
  std::vector<std::wstring> plainAreaLines(const AreaCoords& c, std::wstring_view target) const;

  // Six lines: a script defining "Open" + base, which opens the target in a window
  // of popupWidth x popupHeight, and the rectangle calling it. Where "Open" + base is
  // no identifier or already names another function, a name made from it with a
  // number added. slashTarget is the target with each "\" as "/"; popupWidth and
  // popupHeight already include the +24.
  std::vector<std::wstring> popupAreaLines(const AreaCoords& c, std::wstring_view target,
                                           std::wstring_view slashTarget, std::wstring_view base,
                                           int popupWidth, int popupHeight);

  // Either of the two above, as the popup flag says.
  std::vector<std::wstring> areaLines(const AreaCoords& c, std::wstring_view target,
                                      std::wstring_view slashTarget, bool popup,
                                      std::wstring_view base, int popupWidth, int popupHeight);

  // Two lines.
  static std::vector<std::wstring> tailLines();

 private:
  // "Open" + base when that is a valid, so far unused name (or names the very same
  // function again); otherwise a valid name made from it with a number added.
  std::wstring functionName(std::wstring_view base, const std::wstring& body);

  CharFits fits_;
  std::map<std::wstring, std::wstring> functions_;  // name -> what it does
};

}  // namespace pelnoro::imagemap
