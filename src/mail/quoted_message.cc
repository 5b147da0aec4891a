#include "mail/quoted_message.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "mail/charset_text.h"
#include "platform/text.h"
#include "platform/utf8.h"

namespace tabulon {
namespace {

constexpr size_t kMaxNameBytes = kMaxShownNameBytes;

// The field names of a quoted header block, in the languages mail programs
// most often write them in.
constexpr std::string_view kFrom[] = {
    "from", "von", "de", "van", "da", "od", "fra", "fr\xc3\xa5n",
    "\xe5\xb7\xae\xe5\x87\xba\xe4\xba\xba", "\xd0\xbe\xd1\x82", "\xd0\x9e\xd1\x82",
    "\xd0\x9e\xd0\xb4", "Felad\xc3\xb3", "L\xc3\xa4hett\xc3\xa4j\xc3\xa4",
    "\xce\x91\xcf\x80\xcf\x8c", "Kimden", "T\xe1\xbb\xab", "dari", "daripada",
    "\xe0\xb8\x88\xe0\xb8\xb2\xe0\xb8\x81", "\xd9\x85\xd9\x86", "\xd7\x9e\xd7\x90\xd7\xaa",
    "\xeb\xb3\xb4\xeb\x82\xb8 \xec\x82\xac\xeb\x9e\x8c", "\xe5\x8f\x91\xe4\xbb\xb6\xe4\xba\xba",
    "\xe5\xaf\x84\xe4\xbb\xb6\xe8\x80\x85", "\xd8\xa7\xd8\xb2",
    // "Sender", as desktop mail programs name it in a forward
    "mittente",
    "exp\xc3\xa9"
    "diteur",
    "remitente", "remetente", "afzender", "absender", "nadawca",
    "odes\xc3\xad"
    "latel",
    "afsender", "avsender",
    "avs\xc3\xa4"
    "ndare",
    "expeditor",
    // Romanian, Estonian, Lithuanian, Latvian, Icelandic, Catalan, Basque, Ukrainian,
    // Bulgarian, Kazakh, Hindi, Persian, Malay, Tagalog, Swahili and others
    "de la", "saatja", "nuo", "no", "fr\xc3\xa1", "\xd0\xb2\xd1\x96\xd0\xb4",
    "\xd0\x92\xd1\x96\xd0\xb4",
    "\xc5\xa1"
    "alje",
    "nork", "\xe0\xa4\xaa\xe0\xa5\x8d\xe0\xa4\xb0\xe0\xa5\x87\xe0\xa4\xb7\xe0\xa4\x95",
    "\xd0\xba\xd1\x96\xd0\xbc\xd0\xbd\xd0\xb5\xd0\xbd",
    "\xd0\x9a\xd1\x96\xd0\xbc\xd0\xbd\xd0\xb5\xd0\xbd", "mula kay", "kutoka",
    "\xd0\xbe\xd1\x82 \xd0\xba\xd0\xbe\xd0\xb3\xd0\xbe",
    "\xd0\x9e\xd1\x82 \xd0\xba\xd0\xbe\xd0\xb3\xd0\xbe",
    // Georgian, Armenian, Azerbaijani
    "\xe1\x83\x92\xe1\x83\x90\xe1\x83\x9b\xe1\x83\x92\xe1\x83\x96\xe1\x83\x90\xe1\x83\x95\xe1\x83"
    "\x9c\xe1\x83\x98",
    "\xe1\x83\x95\xe1\x83\x98\xe1\x83\xa1\xe1\x83\x92\xe1\x83\x90\xe1\x83\x9c",
    "\xd5\x88\xd6\x82\xd5\xb4\xd5\xab\xd6\x81", "Kimd\xc9\x99n"};
constexpr std::string_view kSent[] = {
    "sent", "date", "gesendet", "datum", "envoy\xc3\xa9", "enviado", "enviado el", "inviato",
    "verzonden",
    "wys\xc5\x82"
    "ano",
    "data", "sendt", "skickat", "\xe9\x80\x81\xe4\xbf\xa1\xe6\x97\xa5\xe6\x99\x82",
    "date de l'envoi", "\xd0\xb4\xd0\xb0\xd1\x82\xd0\xb0", "\xd0\x94\xd0\xb0\xd1\x82\xd0\xb0",
    "poslano", "poslato", "\xd0\x9f\xd0\xbe\xd1\x81\xd0\xbb\xd0\xb0\xd1\x82\xd0\xbe",
    "odesl\xc3\xa1no", "odoslan\xc3\xa9", "\xd0\x94\xd0\xb0\xd1\x82\xd1\x83\xd0\xbc",
    "elk\xc3\xbcldve", "d\xc3\xa1tum", "l\xc3\xa4hetetty",
    "p\xc3\xa4iv\xc3\xa4m\xc3\xa4\xc3\xa4r\xc3\xa4",
    "\xce\xa3\xcf\x84\xce\xac\xce\xbb\xce\xb8\xce\xb7\xce\xba\xce\xb5",
    "\xce\x97\xce\xbc\xce\xb5\xcf\x81\xce\xbf\xce\xbc\xce\xb7\xce\xbd\xce\xaf\xce\xb1",
    "g\xc3\xb6nderildi", "tarih", "Ng\xc3\xa0y", "\xc4\x90\xc3\xa3 g\xe1\xbb\xadi", "tanggal",
    "dikirim", "tarikh", "\xe0\xb8\xa7\xe0\xb8\xb1\xe0\xb8\x99\xe0\xb8\x97\xe0\xb8\xb5\xe0\xb9\x88",
    "\xd8\xa7\xd9\x84\xd8\xaa\xd8\xa7\xd8\xb1\xd9\x8a\xd8\xae",
    "\xd7\xaa\xd7\x90\xd7\xa8\xd7\x99\xd7\x9a", "\xeb\x82\xa0\xec\xa7\x9c",
    "\xeb\xb3\xb4\xeb\x82\xb8 \xeb\x82\xa0\xec\xa7\x9c", "\xe6\x97\xa5\xe6\x9c\x9f",
    "\xe5\x8f\x91\xe9\x80\x81\xe6\x97\xb6\xe9\x97\xb4",
    "\xe5\xaf\x84\xe4\xbb\xb6\xe6\x97\xa5\xe6\x9c\x9f", "\xd8\xaa\xd8\xa7\xd8\xb1\xdb\x8c\xd8\xae",
    // Romanian, Estonian, Lithuanian, Latvian, Icelandic, Catalan, Basque, Ukrainian,
    // Bulgarian, Kazakh, Hindi, Persian, Malay, Tagalog, Swahili and others
    "fecha", "trimis", "saadetud", "i\xc5\xa1si\xc5\xb3sta", "nos\xc5\xabt\xc4\xabts", "enviat el",
    "enviat", "noiz", "\xd0\xbd\xd0\xb0\xd0\xb4\xd1\x96\xd1\x81\xd0\xbb\xd0\xb0\xd0\xbd\xd0\xbe",
    "\xd0\x9d\xd0\xb0\xd0\xb4\xd1\x96\xd1\x81\xd0\xbb\xd0\xb0\xd0\xbd\xd0\xbe",
    "\xd0\xb8\xd0\xb7\xd0\xbf\xd1\x80\xd0\xb0\xd1\x82\xd0\xb5\xd0\xbd\xd0\xbe",
    "\xd0\x98\xd0\xb7\xd0\xbf\xd1\x80\xd0\xb0\xd1\x82\xd0\xb5\xd0\xbd\xd0\xbe",
    // Macedonian, Russian
    "\xd0\xb8\xd1\x81\xd0\xbf\xd1\x80\xd0\xb0\xd1\x82\xd0\xb5\xd0\xbd\xd0\xbe",
    "\xd0\x98\xd1\x81\xd0\xbf\xd1\x80\xd0\xb0\xd1\x82\xd0\xb5\xd0\xbd\xd0\xbe",
    "\xd0\xbe\xd1\x82\xd0\xbf\xd1\x80\xd0\xb0\xd0\xb2\xd0\xbb\xd0\xb5\xd0\xbd\xd0\xbe",
    "\xd0\x9e\xd1\x82\xd0\xbf\xd1\x80\xd0\xb0\xd0\xb2\xd0\xbb\xd0\xb5\xd0\xbd\xd0\xbe",
    "\xe0\xa4\xad\xe0\xa5\x87\xe0\xa4\x9c\xe0\xa4\xbe \xe0\xa4\x97\xe0\xa4\xaf\xe0\xa4\xbe",
    "\xd8\xa7\xd8\xb1\xd8\xb3\xd8\xa7\xd9\x84 \xd8\xb4\xd8\xaf\xd9\x87", "dihantar",
    "\xd0\xb6\xd1\x96\xd0\xb1\xd0\xb5\xd1\x80\xd1\x96\xd0\xbb\xd0\xb3\xd0\xb5\xd0\xbd",
    "\xd0\x96\xd1\x96\xd0\xb1\xd0\xb5\xd1\x80\xd1\x96\xd0\xbb\xd0\xb3\xd0\xb5\xd0\xbd",
    "\xd7\xa0\xd7\xa9\xd7\x9c\xd7\x97",
    "\xd8\xaa\xd8\xa7\xd8\xb1\xd9\x8a\xd8\xae "
    "\xd8\xa7\xd9\x84\xd8\xa5\xd8\xb1\xd8\xb3\xd8\xa7\xd9\x84",
    "\xe0\xb8\xaa\xe0\xb9\x88\xe0\xb8\x87", "\xe6\x97\xa5\xe4\xbb\x98", "ipinadala", "imetumwa",
    // as desktop mail programs name them in a forward
    "p\xc3\xa4iv\xc3\xa4ys", "dato", "dat\xc4\x83",
    "kuup\xc3\xa4"
    "ev",
    "datums",
    // Georgian, Armenian, Azerbaijani
    "\xe1\x83\x97\xe1\x83\x90\xe1\x83\xa0\xe1\x83\x98\xe1\x83\xa6\xe1\x83\x98",
    "\xd4\xb1\xd5\xb4\xd5\xbd\xd5\xa1\xd5\xa9\xd5\xab\xd5\xbe", "Tarix"};
constexpr std::string_view kTo[] = {
    "to", "an", "\xc3\xa0", "para", "a", "aan", "do", "til", "till", "\xe5\xae\x9b\xe5\x85\x88",
    "\xd0\xba\xd0\xbe\xd0\xbc\xd1\x83", "\xd0\x9a\xd0\xbe\xd0\xbc\xd1\x83", "za", "prima", "komu",
    "\xd0\x97\xd0\xb0", "\xd0\x9a\xd0\xbe\xd0\xbc\xd1\x83", "c\xc3\xadmzett", "vastaanottaja",
    "\xce\xa0\xcf\x81\xce\xbf\xcf\x82", "kime", "T\xe1\xbb\x9bi", "\xc4\x90\xe1\xba\xbfn", "kepada",
    "\xe0\xb8\x96\xe0\xb8\xb6\xe0\xb8\x87", "\xd8\xa5\xd9\x84\xd9\x89", "\xd7\x90\xd7\x9c",
    "\xeb\xb0\x9b\xeb\x8a\x94 \xec\x82\xac\xeb\x9e\x8c", "\xe6\x94\xb6\xe4\xbb\xb6\xe4\xba\xba",
    "\xe6\x94\xb6\xe4\xbb\xb6\xe8\x80\x85", "\xd8\xa8\xd9\x87",
    // Romanian, Estonian, Lithuanian, Latvian, Icelandic, Catalan, Basque, Ukrainian,
    // Bulgarian, Kazakh, Hindi, Persian, Malay, Tagalog, Swahili and others
    "c\xc4\x83tre", "kellele", "adressaat", "kam", "per a", "nori", "\xd0\xb4\xd0\xbe",
    "\xd0\x94\xd0\xbe", "\xe0\xa4\xaa\xe0\xa5\x8d\xe0\xa4\xb0\xe0\xa4\xa4\xe0\xa4\xbf",
    "\xd0\xba\xd1\x96\xd0\xbc\xd0\xb3\xd0\xb5", "\xd0\x9a\xd1\x96\xd0\xbc\xd0\xb3\xd0\xb5",
    "para kay", "kwa",
    // as desktop mail programs name them in a forward
    "pour",
    // "Recipient", as web and desktop mail programs name it
    "recipient", "destinatario", "destinatari", "destinataire", "destinat\xc3\xa1rio",
    "empf\xc3\xa4nger", "ontvanger", "mottagare", "modtager", "mottaker", "odbiorca", "adresat",
    "p\xc5\x99\xc3\xadjemce", "pr\xc3\xadjemca", "adres\xc3\xa1t",
    // Georgian, Armenian, Azerbaijani
    "\xe1\x83\x9b\xe1\x83\x98\xe1\x83\x9b\xe1\x83\xa6\xe1\x83\x94\xe1\x83\x91\xe1\x83\x98",
    "\xe1\x83\x95\xe1\x83\x98\xe1\x83\xa1", "\xd5\x88\xd6\x82\xd5\xb4", "Kim\xc9\x99"};
constexpr std::string_view kSubject[] = {
    "subject", "betreff", "objet", "asunto", "oggetto", "assunto", "onderwerp", "temat", "emne",
    "\xc3\xa4mne", "\xe4\xbb\xb6\xe5\x90\x8d", "\xd1\x82\xd0\xb5\xd0\xbc\xd0\xb0",
    "\xd0\xa2\xd0\xb5\xd0\xbc\xd0\xb0", "naslov", "predmet",
    "p\xc5\x99"
    "edm\xc4\x9bt",
    "zadeva", "\xd0\x9d\xd0\xb0\xd1\x81\xd0\xbb\xd0\xbe\xd0\xb2", "t\xc3\xa1rgy", "aihe",
    "\xce\x98\xce\xad\xce\xbc\xce\xb1", "konu", "Ch\xe1\xbb\xa7 \xc4\x91\xe1\xbb\x81", "subjek",
    "perihal", "\xe0\xb9\x80\xe0\xb8\xa3\xe0\xb8\xb7\xe0\xb9\x88\xe0\xb8\xad\xe0\xb8\x87",
    "\xd8\xa7\xd9\x84\xd9\x85\xd9\x88\xd8\xb6\xd9\x88\xd8\xb9", "\xd7\xa0\xd7\x95\xd7\xa9\xd7\x90",
    "\xec\xa0\x9c\xeb\xaa\xa9", "\xe4\xb8\xbb\xe9\xa2\x98", "\xe4\xb8\xbb\xe6\x97\xa8",
    "\xd9\x85\xd9\x88\xd8\xb6\xd9\x88\xd8\xb9",
    // Romanian, Estonian, Lithuanian, Latvian, Icelandic, Catalan, Basque, Ukrainian,
    // Bulgarian, Kazakh, Hindi, Persian, Malay, Tagalog, Swahili and others
    "subiect", "teema", "tema", "t\xc4\x93ma", "efni", "gaia",
    "\xe0\xa4\xb5\xe0\xa4\xbf\xe0\xa4\xb7\xe0\xa4\xaf",
    "\xd1\x82\xd0\xb0\xd2\x9b\xd1\x8b\xd1\x80\xd1\x8b\xd0\xbf",
    "\xd0\xa2\xd0\xb0\xd2\x9b\xd1\x8b\xd1\x80\xd1\x8b\xd0\xbf",
    "\xe0\xb8\x8a\xe0\xb8\xb7\xe0\xb9\x88\xe0\xb8\xad\xe0\xb9\x80\xe0\xb8\xa3\xe0\xb8\xb7\xe0\xb9"
    "\x88\xe0\xb8\xad\xe0\xb8\x87",
    "paksa", "mada", "assumpte", "\xd0\xbe\xd1\x82\xd0\xbd\xd0\xbe\xd1\x81\xd0\xbd\xd0\xbe",
    "\xd0\x9e\xd1\x82\xd0\xbd\xd0\xbe\xd1\x81\xd0\xbd\xd0\xbe",
    // as desktop mail programs name them in a forward
    "sujet", "temats", "ti\xc3\xaau \xc4\x91\xe1\xbb\x81",
    // Georgian, Armenian, Azerbaijani
    "\xe1\x83\x97\xe1\x83\x94\xe1\x83\x9b\xe1\x83\x90", "\xd4\xb9\xd5\xa5\xd5\xb4\xd5\xa1",
    "M\xc3\xb6vzu"};

template <size_t N>
constexpr bool namesFit(const std::string_view (&names)[N]) {
    for (std::string_view name : names) {
        if (name.empty() || name.size() > kMaxNameBytes) return false;
    }
    return true;
}
static_assert(namesFit(kFrom) && namesFit(kSent) && namesFit(kTo) && namesFit(kSubject));

// Equality ignoring the case of ASCII letters and of the Latin-1 letters
// written C3 xx (an upper-case "Ämne" names the field "ämne" does).
bool equalsIgnoringLatinCase(std::string_view a, std::string_view b) {
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] == b[i]) continue;
        unsigned char x = static_cast<unsigned char>(asciiLower(a[i]));
        unsigned char y = static_cast<unsigned char>(asciiLower(b[i]));
        if (x == y) continue;
        // C3 80 to C3 9E are the capitals of C3 A0 to C3 BE, but for × and ÷.
        if (i == 0 || a[i - 1] != '\xC3' || (x ^ y) != 0x20 || (x | 0x20) < 0xA0 ||
            (x | 0x20) == 0xB7 || (x | 0x20) == 0xBF)
            return false;
    }
    return true;
}

template <size_t N>
bool isOneOf(std::string_view name, const std::string_view (&names)[N]) {
    for (std::string_view known : names) {
        if (known.size() == name.size() && equalsIgnoringLatinCase(name, known)) return true;
    }
    return false;
}

// The field name of a line "Name: value" (any letters), or "".
std::string_view fieldName(std::string_view line) {
    size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > kMaxNameBytes) return {};
    return trimBlanks(line.substr(0, colon));
}

std::string_view lineAt(std::string_view body, size_t at) {
    size_t end = body.find('\n', at);
    return body.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
}

// Whether the block of lines from `at` to the next blank line has the quoted
// message's From, Sent (or Date), To and Subject lines, in any order.
bool isQuotedHeaderBlock(std::string_view body, size_t at) {
    bool from = false, sent = false, to = false, subject = false;
    for (size_t pos = at; pos < body.size();) {
        std::string_view line = lineAt(body, pos);
        if (trimBlanks(line).empty()) break;
        std::string_view shown = shownFieldOf(fieldName(line));
        from = from || shown == "from";
        sent = sent || shown == "sent";
        to = to || shown == "to";
        subject = subject || shown == "subject";
        pos += line.size() + 1;
    }
    return from && sent && to && subject;
}

}  // namespace

std::string_view shownFieldOf(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameBytes) return {};
    if (isOneOf(name, kFrom)) return "from";
    if (isOneOf(name, kSent)) return "sent";
    if (isOneOf(name, kTo)) return "to";
    if (isOneOf(name, kSubject)) return "subject";
    // A name a mail program saved in its language's Windows charset
    // ("Odesl\xE1no", Czech in Windows-1250), or in KOI8 ("Тема" in Russian
    // and Ukrainian): read in each of them.
    if (isValidUtf8(name)) return {};
    for (const char* charset : {"WINDOWS-1250", "WINDOWS-1251", "WINDOWS-1252", "WINDOWS-1253",
                                "WINDOWS-1254", "WINDOWS-1257", "WINDOWS-874", "KOI8-U"}) {
        std::string read;
        if (appendUtf8(name, charset, &read) && isValidUtf8(read)) {
            if (std::string_view shown = shownFieldOf(read); !shown.empty()) return shown;
        }
    }
    return {};
}

namespace {

// The place of a header field's name among the known ones: its first letter,
// then its length.
size_t bucketOf(std::string_view name) {
    return static_cast<unsigned char>(asciiLower(name[0])) * (kMaxNameBytes + 1) + name.size();
}

bool isHeaderName(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameBytes) return false;
    // Most lines name no header field: only the names with the same first letter
    // and length are compared, found by their bucket's start.
    struct Known {
        std::vector<std::string_view> names;  // by first letter, then length
        std::array<uint16_t, 256 * (kMaxNameBytes + 1) + 1> start{};
    };
    static const Known kKnown = [] {
        Known known;
        auto add = [&](const auto& names) {
            for (std::string_view name : names)
                known.names.push_back(name);
        };
        add(kFrom);
        add(kSent);
        add(kTo);
        add(kSubject);
        std::stable_sort(
            known.names.begin(), known.names.end(),
            [&](std::string_view a, std::string_view b) { return bucketOf(a) < bucketOf(b); });
        size_t next = 0;
        for (size_t i = 0; i < known.start.size(); ++i) {
            while (next < known.names.size() && bucketOf(known.names[next]) < i)
                ++next;
            known.start[i] = static_cast<uint16_t>(next);
        }
        return known;
    }();
    size_t bucket = bucketOf(name);
    // Letters of one case differ from the other's in bit 0x20 alone: a last byte
    // that differs in another bit rules a name out at once.
    for (size_t i = kKnown.start[bucket]; i < kKnown.start[bucket + 1]; ++i) {
        std::string_view known = kKnown.names[i];
        if (((known.back() ^ name.back()) & ~0x20) == 0 && equalsIgnoringLatinCase(name, known))
            return true;
    }
    return false;
}

// Words that say a line announces a forwarded message, each without its first
// letter where a capital may open the line ("Vidarebefordrat brev:").
bool mentionsForwarding(std::string_view line) {
    for (std::string_view word :
         {"orward",
          "eitergeleitet",
          "transf\xc3\xa9r",
          "noltrato",
          "r\u00e9exp\u00e9di",
          "reenviado",
          "oorgestuurd",
          "rzekazan",
          "ideresendt",
          "idarebefordra",
          "\xe8\xbb\xa2\xe9\x80\x81",
          "rosle\xc4\x91"
          "en",
          "roslije\xc4\x91"
          "en",
          "\xd1\x80\xd0\xbe\xd1\x81\xd0\xbb\xd0\xb5\xd1\x92\xd0\xb5\xd0\xbd",
          "osredovan",
          "\xc5\x99"
          "eposlan",
          "reposlan",
          "ov\xc3\xa1"
          "bb\xc3\xadtott",
          "\xc3\xa4litetty",
          "\xcf\x81\xce\xbf\xcf\x89\xce\xb8\xce\xb7\xce\xbc\xce\xad\xce\xbd\xce\xbf",
          "letilen",
          "chuy\xe1\xbb\x83n ti\xe1\xba\xbfp",
          "diteruskan",
          "\xe0\xb8\xaa\xe0\xb9\x88\xe0\xb8\x87\xe0\xb8\x95\xe0\xb9\x88\xe0\xb8\xad",
          "\xd8\xaa\xd9\x88\xd8\xac\xd9\x8a\xd9\x87",
          "\xd7\x94\xd7\x95\xd7\xa2\xd7\x91\xd7\xa8",
          "\xec\xa0\x84\xeb\x8b\xac",
          "\xe8\xbd\xac\xe5\x8f\x91",
          "\xe8\xbd\x89\xe5\xaf\x84",
          "\xd8\xa8\xd8\xa7\xd8\xb2\xd8\xa7\xd8\xb1\xd8\xb3\xd8\xa7\xd9\x84",
          "redirec\xc8\x9bionat",
          "redirec\xc5\xa3ionat",
          "ersi\xc5\xb3st",
          "\xc4\x81rs\xc5\xabt\xc4\xabt",
          "dastatud",
          "reenviat",
          "\xd0\xb5\xd1\x80\xd0\xb5\xd1\x81\xd0\xbb\xd0\xb0\xd0\xbd",
          "\xd1\x80\xd0\xb5\xd0\xbf\xd1\x80\xd0\xb0\xd1\x82\xd0\xb5\xd0\xbd",
          "framsen",
          "dimajukan",
          "\xe0\xa4\x85\xe0\xa4\x97\xe0\xa5\x8d\xe0\xa4\xb0\xe0\xa5\x87\xe0\xa4\xb7\xe0\xa4\xbf\xe0"
          "\xa4\xa4",
          "pinasa"}) {
        if (line.find(word) != std::string_view::npos) return true;
    }
    return false;
}

}  // namespace

bool isQuoteMarker(std::string_view line) {
    line = trimBlanks(line);
    if (line.size() >= 3 && (line[0] == '-' || line[0] == '_'))
        return line.substr(1, 2) == line.substr(0, 2);
    return line.substr(0, 23) == "Begin forwarded message";
}

// Where the text below the header block that begins at `at` begins.
size_t textBelow(std::string_view body, size_t at) {
    size_t text = at;
    while (text < body.size() && !trimBlanks(lineAt(body, text)).empty())
        text += lineAt(body, text).size() + 1;
    while (text < body.size() && trimBlanks(lineAt(body, text)).empty())
        text += lineAt(body, text).size() + 1;
    return std::min(text, body.size());
}

size_t textBelowHeaderBlock(std::string_view body) {
    size_t at = 0;
    while (at < body.size() && trimBlanks(lineAt(body, at)).empty())
        at += lineAt(body, at).size() + 1;
    if (at >= body.size() || shownFieldOf(fieldName(lineAt(body, at))).empty() ||
        !isQuotedHeaderBlock(body, at))
        return 0;
    return textBelow(body, at);
}

QuotedMessage findQuotedMessage(std::string_view body) {
    QuotedMessage found;
    size_t previous = std::string_view::npos;  // the last line with text before `at`
    bool previousNamed = false;                // and whether it names a header field
    for (size_t at = 0; at < body.size();) {
        std::string_view line = lineAt(body, at);
        bool named = isHeaderName(fieldName(line));
        // A header block with nothing above it is the message's own (mail saved as text).
        if (previous != std::string_view::npos && named && !previousNamed &&
            isQuotedHeaderBlock(body, at)) {
            std::string_view above = lineAt(body, previous);
            // Phone mail programs say "Begin forwarded message:" in their own
            // words: "Vidarebefordrat brev:", "Weitergeleitete Nachricht:".
            std::string_view trimmed = trimBlanks(above);
            bool marked = isQuoteMarker(above) || (trimmed.ends_with(':') && trimmed.size() <= 60 &&
                                                   mentionsForwarding(trimmed));
            found.start = marked ? previous : at;
            found.forwarded = marked && mentionsForwarding(above);
            // The quoted message's text begins below its header block.
            found.text = textBelow(body, at);
            return found;
        }
        if (!trimBlanks(line).empty()) {
            previous = at;
            previousNamed = named;
        }
        at += line.size() + 1;
    }
    return found;
}

template <size_t N>
bool startsWithOneOf(std::string_view subject, const std::string_view (&prefixes)[N]) {
    subject = trimBlanks(subject);
    for (std::string_view prefix : prefixes) {
        if (subject.size() >= prefix.size() &&
            equalsIgnoringCase(subject.substr(0, prefix.size()), prefix))
            return true;
    }
    return false;
}

bool isForwardSubject(std::string_view subject) {
    static constexpr std::string_view kPrefixes[] = {
        "fwd:", "fw:", "wg:", "tr:", "rv:", "i:", "vs:", "doorst:", "pd:", "enc:", "fwd :", "fw :",
        "tr :", "wg :", "vl:", "vb:", "ilt:",
        "tov\xc3\xa1"
        "bb\xc3\xadt\xc3\xa1s:",      // Hungarian
        "\xCE\xA0\xCE\xA1\xCE\x98:",  // Greek
        "\xe8\xbd\xac\xe5\x8f\x91:", "\xe8\xbd\xac\xe5\x8f\x91\xef\xbc\x9a",
        "\xe8\xbd\x89\xe5\xaf\x84:", "\xe8\xbd\x89\xe5\xaf\x84\xef\xbc\x9a",
        "\xe8\xbd\x89\xe7\x99\xbc:", "\xe8\xbd\x89\xe7\x99\xbc\xef\xbc\x9a",
        "\xec\xa0\x84\xeb\x8b\xac:",
        "\xec\xa0\x84\xeb\x8b\xac\xef\xbc\x9a",  // Chinese, Korean (either colon)
        // Hebrew, Arabic, Persian, Thai, Vietnamese, Japanese, Russian
        "הועבר:", "העבר:", "إعادة توجيه:", "توجيه:", "بازارسال:", "ส่งต่อ:", "chuyển tiếp:", "転送:",
        "Пересл.:"};
    return startsWithOneOf(subject, kPrefixes);
}

bool isReplySubject(std::string_view subject) {
    static constexpr std::string_view kPrefixes[] = {
        "re:", "aw:", "sv:", "antw:", "odp:", "r:", "re :", "ynt:", "\xe5\x9b\x9e\xe5\xa4\x8d:",
        "\xe5\x9b\x9e\xe5\xa4\x8d\xef\xbc\x9a",
        "\xe7\xad\x94\xe5\xa4\x8d:", "\xe7\xad\x94\xe5\xa4\x8d\xef\xbc\x9a",
        "\xe5\x9b\x9e\xe8\xa6\x86:", "\xe5\x9b\x9e\xe8\xa6\x86\xef\xbc\x9a",
        "\xeb\x8b\xb5\xec\x9e\xa5:", "\xeb\x8b\xb5\xec\x9e\xa5\xef\xbc\x9a",
        // Hebrew, Arabic, Persian, Thai,
        // Vietnamese, Japanese, Russian
        "השב:", "رد:", "پاسخ:", "ตอบกลับ:", "trả lời:", "返信:", "Отв:"};
    return startsWithOneOf(subject, kPrefixes);
}

}  // namespace tabulon
