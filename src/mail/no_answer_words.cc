#include "mail/no_answer_words.h"

#include <glib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <unordered_set>

#include "platform/text.h"

namespace tabulon {
namespace {

// What tools print for a field left empty, by language. Only phrases that say
// the answer is missing: "none", "no" or "unknown" may be what a person chose.
// A choice of "no statement" ("keine Angabe" as a salutation) says what an
// empty cell says.
constexpr std::string_view kPhrases[] = {
    "n/a", "n.a", "n. a",
    // English
    "not provided", "not specified", "not given", "not entered", "not filled in", "not filled",
    "not filled out", "not answered", "not selected", "not set", "not stated", "not supplied",
    "no answer", "no response", "no answer given", "no value", "no data", "none given",
    "none provided", "none selected", "none specified", "left blank", "blank", "empty",
    "unanswered", "skipped",
    // What a script prints for a value it was never given
    "undefined", "null",
    // German
    "nicht angegeben", "nicht ausgefüllt", "nicht beantwortet", "nicht gewählt", "nicht ausgewählt",
    "nicht gesetzt", "keine antwort", "keine angabe", "ohne angabe",
    // French
    "non renseigné", "non renseignée", "non précisé", "non précisée", "non spécifié",
    "non spécifiée", "non indiqué", "non indiquée", "non fourni", "non fournie", "non rempli",
    "non remplie", "non communiqué", "non communiquée", "non défini", "non sélectionné",
    "non saisi", "aucune réponse", "pas de réponse", "sans réponse", "vide",
    // Spanish, Catalan, Galician, Basque
    "no especificado", "no especificada", "sin especificar", "no indicado", "no indicada",
    "no proporcionado", "no proporcionada", "no informado", "no informada", "no facilitado",
    "no rellenado", "sin rellenar", "sin completar", "no completado", "sin respuesta", "sin datos",
    "sin información", "no consta", "no seleccionado", "vacío", "no especificat", "no indicat",
    "sense resposta", "no informat", "non especificado", "sen resposta", "zehaztu gabe",
    "erantzunik ez", "ez da zehaztu",
    // Portuguese
    "não informado", "não informada", "não preenchido", "não preenchida", "não especificado",
    "não especificada", "não indicado", "não indicada", "não fornecido", "não respondido",
    "sem resposta", "sem informação", "não selecionado", "vazio",
    // Italian
    "non specificato", "non specificata", "non indicato", "non indicata", "non fornito",
    "non fornita", "non compilato", "non compilata", "non inserito", "non inserita",
    "nessuna risposta", "non risposto", "non selezionato", "non pervenuto", "vuoto",
    // Dutch, Afrikaans
    "niet opgegeven", "niet ingevuld", "niet gespecificeerd", "niet beantwoord", "geen antwoord",
    "geen opgave", "niet geselecteerd", "leeg", "n.v.t", "nie verskaf nie", "nie ingevul nie",
    // Swedish, Norwegian, Danish, Icelandic, Finnish
    "ej angivet", "ej angiven", "ej ifyllt", "ej ifylld", "inte angivet", "inte angiven",
    "inte ifyllt", "inte ifylld", "ingen uppgift", "inget svar", "uppgift saknas", "ej besvarad",
    "ikke oppgitt", "ikke angitt", "ikke utfylt", "ikke fylt ut", "ikke besvart", "ingen svar",
    "ikkje oppgitt", "ikkje utfylt", "ikke angivet", "ikke udfyldt", "ikke oplyst", "ikke besvaret",
    "intet svar", "ekki tilgreint", "ekki útfyllt", "ekkert svar", "ekki gefið upp", "ekki svarað",
    "ei annettu", "ei ilmoitettu", "ei täytetty", "ei vastausta", "ei määritetty", "ei valittu",
    "ei valintaa", "tyhjä", "ingen bemærkning", "ingen bemærkninger", "sem comentário",
    "sem comentários", "sin comentarios", "sans commentaire", "nessun commento", "kein kommentar",
    "geen opmerkingen", "engin athugasemd", "ingen anmärkning", "ingen merknad",
    // Estonian, Latvian, Lithuanian
    "määramata", "täitmata", "märkimata", "pole märgitud", "pole täidetud", "pole määratud",
    "vastus puudub", "ei ole täpsustatud", "nav norādīts", "nav norādīta", "nav aizpildīts",
    "nav aizpildīta", "nav atbildes", "nav izvēlēts", "nenurodyta", "nenurodytas", "neužpildyta",
    "neužpildytas", "nėra atsakymo", "nepasirinkta", "nepateikta", "nepateiktas",
    // Polish, Czech, Slovak, Hungarian, Slovenian
    "nie podano", "brak odpowiedzi", "brak danych", "nie wypełniono", "nie określono",
    "nie wskazano", "nie wybrano", "neuvedeno", "neuvedený", "neuvedená", "nevyplněno", "nezadáno",
    "neurčeno", "bez odpovědi", "nevybráno", "neuvedené", "nevyplnené", "nezadané", "neurčené",
    "bez odpovede", "nevybrané", "nincs megadva", "nem adta meg", "nincs kitöltve", "nem megadott",
    "nincs válasz", "nem válaszolt", "nincs kiválasztva", "ni navedeno", "ni izpolnjeno",
    "ni odgovora", "ni podatka", "ni izbrano",
    // Croatian, Bosnian, Serbian, Macedonian, Bulgarian
    "nije navedeno", "nije upisano", "nije uneseno", "nije uneto", "nije unijeto", "nije popunjeno",
    "nije ispunjeno", "nije odabrano", "nije izabrano", "nema odgovora", "nema podataka",
    "није наведено", "није уписано", "није унето", "није унесено", "није попуњено", "није изабрано",
    "нема одговора", "нема података", "не е наведено", "не е внесено", "не е пополнето",
    "нема одговор", "не е посочено", "не е посочен", "не е посочена", "не е попълнено",
    "не е въведено", "не е избрано", "няма отговор", "няма данни",
    // Romanian, Albanian, Greek
    "nespecificat", "nespecificată", "necompletat", "necompletată", "neprecizat", "fără răspuns",
    "nu a fost completat", "nu este specificat", "nu a fost specificat", "nu s-a specificat",
    "nuk është specifikuar", "nuk është plotësuar", "nuk është dhënë", "pa përgjigje",
    "e paplotësuar", "δεν συμπληρώθηκε", "δεν δόθηκε", "δεν ορίστηκε", "δεν καθορίστηκε",
    "δεν αναφέρθηκε", "δεν επιλέχθηκε", "χωρίς απάντηση",
    // Russian, Ukrainian, Belarusian
    "не указано", "не указан", "не указана", "не указаны", "не заполнено", "не заполнен",
    "не заполнена", "не задано", "не задан", "не выбрано", "не выбран", "нет ответа", "нет данных",
    "не вказано", "не вказаний", "не вказана", "не зазначено", "не заповнено", "не обрано",
    "не вибрано", "немає відповіді", "без відповіді", "немає даних", "без ответа", "не пазначана",
    "не пазначаны", "не ўказана", "не ўказаны", "не запоўнена", "не запоўнены", "няма адказу",
    "няма даных",
    // Georgian, Armenian, Azerbaijani, Turkish, Kazakh, Kyrgyz, Uzbek
    "არ არის მითითებული", "მითითებული არ არის", "არ არის შევსებული", "შევსებული არ არის",
    "პასუხი არ არის", "նշված չէ", "չի նշվել", "լրացված չէ", "պատասխան չկա", "qeyd edilməyib",
    "göstərilməyib", "doldurulmayıb", "cavab yoxdur", "seçilməyib", "belirtilmedi", "belirtilmemiş",
    "girilmedi", "doldurulmadı", "doldurulmamış", "yanıt yok", "cevap yok", "seçilmedi",
    "көрсетілмеген", "толтырылмаған", "жауап жоқ", "таңдалмаған", "көрсөтүлгөн эмес",
    "толтурулган эмес", "жооп жок", "ko'rsatilmagan", "koʻrsatilmagan", "ko‘rsatilmagan",
    "to'ldirilmagan", "toʻldirilmagan", "to‘ldirilmagan", "javob yo'q", "javob yoʻq", "javob yo‘q",
    "tanlanmagan", "кўрсатилмаган",
    // Arabic, Hebrew, Persian, Urdu
    "غير محدد", "لم يحدد", "لم يتم التحديد", "غير متوفر", "لا توجد إجابة", "بدون إجابة",
    "لم يتم الإدخال", "غير مذكور", "לא צוין", "לא צויין", "לא מולא", "אין תשובה", "לא נבחר",
    "مشخص نشده", "وارد نشده", "بدون پاسخ", "تکمیل نشده", "انتخاب نشده", "درج نہیں",
    "کوئی جواب نہیں", "فراہم نہیں کیا گیا", "فراہم نہیں کی گئی", "درج نہیں کیا گیا",
    // Hindi, Nepali, Marathi, Gujarati, Punjabi, Bengali, Tamil, Telugu, Sinhala
    "नहीं दिया गया", "उल्लेख नहीं", "कोई उत्तर नहीं", "कोई उत्तर नहीं दिया गया", "उत्तर नहीं दिया गया",
    "निर्दिष्ट नहीं", "नहीं भरा गया", "खाली", "छोड़ा गया", "उल्लेख गरिएको छैन", "उल्लेख छैन", "भरिएको छैन",
    "दिइएको छैन", "कुनै उत्तर छैन", "नमूद नाही", "दिलेले नाही", "भरलेले नाही", "ઉલ્લેખ નથી", "આપેલ નથી",
    "ਨਹੀਂ ਦਿੱਤਾ ਗਿਆ", "उपलब्ध नहीं", "प्रदान नहीं किया गया", "উল্লেখ নেই", "দেওয়া হয়নি", "প্রদান করা হয়নি",
    "উল্লেখ করা হয়নি", "কোনো উত্তর নেই", "குறிப்பிடப்படவில்லை", "வழங்கப்படவில்லை", "பதில் இல்லை", "పేర్కొనలేదు",
    "ఇవ్వలేదు", "సమాధానం లేదు", "සඳහන් කර නැත", "ලබා දී නැත", "පිළිතුරක් නැත",
    // Thai, Lao, Khmer, Burmese
    "ไม่ได้ระบุ", "ไม่ระบุ", "ไม่มีคำตอบ", "ไม่ได้กรอก", "ບໍ່ໄດ້ລະບຸ", "មិនបានបញ្ជាក់", "គ្មានចម្លើយ", "មិនបានបំពេញ",
    "မဖြည့်ပါ", "ဖြည့်မထားပါ", "မဖော်ပြထားပါ", "အဖြေမရှိပါ",
    // Japanese, Chinese, Korean
    "未入力", "未記入", "未選択", "未回答", "回答なし", "記入なし", "入力なし", "指定なし",
    "未填写", "未填", "未提供", "未选择", "未填寫", "未選擇", "未指定", "无回答", "無回答",
    "미입력", "입력 안 함", "응답 없음", "미선택", "미기재", "답변 없음",
    // Vietnamese, Indonesian, Malay, Tagalog, Swahili, Welsh, Irish, Maltese
    "chưa điền", "không cung cấp", "chưa cung cấp", "không xác định", "không có câu trả lời",
    "chưa chọn", "để trống", "tidak diisi", "tidak ada jawaban", "tidak disebutkan",
    "tidak dinyatakan", "tidak ditentukan", "tidak dipilih", "tiada jawapan", "hindi ibinigay",
    "walang sagot", "hindi tinukoy", "haijajazwa", "hakuna jibu", "haijatajwa", "haijabainishwa",
    "hakujibiwa", "haikujibiwa", "haijatolewa", "haikutolewa",
    // Hausa, Yoruba, Igbo, Zulu, Xhosa, Amharic, Somali, Haitian Creole
    "ba a cika ba", "ba a bayar ba", "babu amsa", "a kò pèsè", "kò sí ìdáhùn", "enyeghị",
    "akunikeziwe", "akugcwalisiwe", "ayikho impendulo", "akunikezelwanga", "አልተገለጸም", "አልተሞላም",
    "መልስ የለም", "lama bixin", "jawaab ma jiro", "pa presize", "pa ranpli", "pa gen repons",
    "heb ei nodi", "dim ateb", "gan freagra", "níor freagraíodh", "mhux speċifikat",
    "mhux ipprovdut", "l-ebda tweġiba"};

constexpr size_t kKeys = 65536;

// The marks a tool may set around its words, by byte.
constexpr std::array<bool, 256> kMarks = [] {
    std::array<bool, 256> marks{};
    for (unsigned char c : std::string_view(" .-*_()[]{}<>\""))
        marks[c] = true;
    return marks;
}();

constexpr bool isMark(char c) {
    return kMarks[static_cast<unsigned char>(c)];
}

// `text` without the marks a tool may set around its words ("(not given)",
// "-- nicht angegeben --", "Not given.", "（未入力）").
std::string_view withoutMarks(std::string_view text) {
    // The full-width brackets of Chinese and Japanese: "（" "）" "【" "】"; the
    // en and em dashes ("— Dim ateb —") at either end.
    static constexpr std::string_view kOpen[] = {"\xEF\xBC\x88", "\xE3\x80\x90", "\xE2\x80\x93",
                                                 "\xE2\x80\x94"};
    static constexpr std::string_view kClose[] = {"\xEF\xBC\x89", "\xE3\x80\x91", "\xE2\x80\x93",
                                                  "\xE2\x80\x94"};
    for (bool trimmed = true; trimmed && !text.empty();) {
        trimmed = false;
        while (!text.empty() && isMark(text.front()))
            text.remove_prefix(1);
        while (!text.empty() && isMark(text.back()))
            text.remove_suffix(1);
        for (std::string_view open : kOpen) {
            if (text.starts_with(open)) text.remove_prefix(open.size()), trimmed = true;
        }
        for (std::string_view close : kClose) {
            if (text.ends_with(close)) text.remove_suffix(close.size()), trimmed = true;
        }
    }
    return text;
}

// A cheap key of a text that letter case leaves alone, of its bytes alone: its
// first byte (a letter's lead byte, of either case), its last and its length.
constexpr size_t keyOf(std::string_view text) {
    auto first = static_cast<unsigned char>(text.front());
    auto last = static_cast<unsigned char>(text.back());
    if (first >= 'A' && first <= 'Z') first |= 0x20;
    if (first >= 0xC0) first &= 0xFE;  // "Р" and "р" lead with D0 and D1
    if (last >= 'A' && last <= 'Z') last |= 0x20;
    return ((first * 0x9E37u) ^ (last << 5) ^ (text.size() * 0x3Bu)) & (kKeys - 1);
}

// The keys of the phrases, made when the program is built: most answers are
// told apart by their key alone. (The phrases are written in small letters and
// with no mark around them, as folded and trimmed answers are.)
constexpr std::array<uint64_t, kKeys / 64> kPhraseKeys = [] {
    std::array<uint64_t, kKeys / 64> keys{};
    for (std::string_view phrase : kPhrases) {
        size_t key = keyOf(phrase);
        keys[key / 64] |= uint64_t{1} << (key % 64);
    }
    return keys;
}();

// The keys above are taken of the phrases as written: no capital and no mark at
// either end in any of them.
static_assert(std::none_of(std::begin(kPhrases), std::end(kPhrases), [](std::string_view phrase) {
    return phrase.empty() || isMark(phrase.front()) || isMark(phrase.back()) ||
           std::any_of(phrase.begin(), phrase.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}));

// `text` in small letters, as the phrases are written.
std::string folded(std::string_view text) {
    if (std::all_of(text.begin(), text.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        std::string lower(text);
        for (char& c : lower)
            c = asciiLower(c);
        return lower;
    }
    gchar* folded = g_utf8_casefold(text.data(), static_cast<gssize>(text.size()));
    std::string out(folded);
    g_free(folded);
    return out;
}

[[gnu::noinline]] bool isPhrase(std::string_view words) {
    static const std::unordered_set<std::string> kKnown = [] {
        std::unordered_set<std::string> known;
        for (std::string_view phrase : kPhrases)
            known.insert(folded(phrase));
        return known;
    }();
    return kKnown.count(folded(words)) > 0;
}

}  // namespace

bool saysNoAnswer(std::string_view value) {
    if (value.empty() || value.size() > 64) return false;
    if (value.size() <= 3 && (value == "-" || value == "--" || value == "/" ||
                              value == "\xE2\x80\x94" || value == "\xE2\x80\x93"))
        return true;
    // Most answers have no mark around them: their key is looked at at once.
    auto first = static_cast<unsigned char>(value.front());
    auto last = static_cast<unsigned char>(value.back());
    bool marked = isMark(static_cast<char>(first)) || isMark(static_cast<char>(last)) ||
                  first == 0xEF || first == 0xE3 || first == 0xE2 || last == 0x89 || last == 0x91 ||
                  ((last == 0x93 || last == 0x94) && value.size() >= 3 &&
                   value[value.size() - 2] == '\x80' && value[value.size() - 3] == '\xE2');
    std::string_view words = marked ? withoutMarks(value) : value;
    if (words.empty()) return false;
    size_t key = keyOf(words);
    return (kPhraseKeys[key / 64] >> (key % 64) & 1) != 0 && isPhrase(words);
}

}  // namespace tabulon
