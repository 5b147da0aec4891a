// Text of any charset made into UTF-8, and line ends made into LF. Charset names
// and conversions come from GMime's iconv layer; a byte that cannot be converted
// becomes U+FFFD so that the rest of the text survives.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tabulon {

// Appends `bytes`, read in `charset`, to `out` as UTF-8. An empty charset means
// undeclared: as platform/utf8.h reads any text of no known charset (its UTF-8
// kept, each other byte Windows-1252), a line of both kinds included.
// Returns false when the charset is unknown (the text is then treated as
// undeclared) or when some bytes were not valid in it.
bool appendUtf8(std::string_view bytes, std::string_view charset, std::string* out);

// Appends a text whose charset nothing names (a body without one, mail saved
// as text): as appendUtf8 with no charset, unless the text is not UTF-8 at all
// and reads best in a charset of another script or region than Windows-1252's
// (Windows-1250 for Czech, KOI8-R for Russian), which its bytes as a whole
// tell; a guess of too few letters is not taken.
void appendUndeclaredText(std::string_view bytes, std::string* out);

// How many bytes of `bytes` are beyond ASCII, none when most of them make UTF-8
// characters (a UTF-8 text with a stray byte): a guess of a text's charset
// stands on kFewestGuessedBytes of them at least.
size_t bytesBeyondAscii(std::string_view bytes);
inline constexpr size_t kFewestGuessedBytes = 16;

// A file of mail saved as text was written in one charset, which no message
// of it names. guessFileCharset() tells it from `text`, some of the file's
// messages together, as appendUndeclaredText guesses (false when none is
// clear); readInFileCharset() makes `text`, one message, UTF-8 in it
// (`fileCharset`; when empty, what the message alone tells), even where its own
// letters are too few to tell it or tell a near one. Left as it is when it holds
// UTF-8 or is not clean in that charset.
bool guessFileCharset(std::string_view text, std::string* charset);
void readInFileCharset(std::string* text, std::string* fileCharset);

// The charset an HTML document names in its head (<meta charset="...">, or the
// http-equiv Content-Type's "charset="), for a part whose header names none;
// empty when its first 4 KB name none.
std::string charsetOfHtml(std::string_view html);

// Starts GMime once per process; everything here that uses it calls this first.
void initGMime();

// CR LF and lone CR become LF. With `breakMark`, in a text of LF line ends
// where a few lines end CR LF (a text box's line breaks, kept as the browser
// sent them), the line after each of those begins with the mark.
void normalizeLineEnds(std::string* text, char breakMark = '\0');

}  // namespace tabulon
