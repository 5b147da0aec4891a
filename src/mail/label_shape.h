// The shapes of a line of form mail, judged from the line alone: whether it could
// open a field ("Label: value", a table row "label<Tab>value", a short line standing
// above its value), whether it reads as a sentence, a rule or a footer. Whether a
// line that could be a label really is one is decided with the mail's other
// evidence (form_reader.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

// How long a label may be. A "Label: value" line opens a field on its shape alone
// with at most kShortLabelWords words; one the template or the file vouches for,
// or a question, may have up to kMaxLabelWords. A label without a colon, standing
// above its value, has at most kBareLabelWords. Every label fits in kMaxLabelBytes.
inline constexpr int kShortLabelWords = 6;
inline constexpr int kBareLabelWords = 10;
inline constexpr int kMaxLabelWords = 16;
inline constexpr size_t kMaxLabelBytes = 120;

// The colons of scripts that have their own (Ethiopic "፦" and "፥", Khmer "៖"):
// three bytes of UTF-8 each, the first 0xE1.
inline constexpr std::string_view kScriptColons[] = {"\xE1\x8D\xA6", "\xE1\x8D\xA5",
                                                     "\xE1\x9F\x96"};

// A label and the value that follows it on the same line.
struct LabelLine {
    std::string_view label;  // as shown, its colon included ("Name:", "Nom :", "Name")
    std::string_view value;  // trimmed; may be empty
    bool isShort = false;    // colonLabelOf(): at most kShortLabelWords words, or a question
};

// "Label: value", "Label:" alone, French "Nom : value" and the full-width colon
// "名前：value": a label of at most `maxWords` words in kMaxLabelBytes (120; in
// a script of more bytes to a letter, 120 letters),
// beginning with a letter, the colon at the end of the line or followed by a
// blank. A colon in the middle of a word ("10:30", "http://") opens nothing.
bool colonLabelOf(std::string_view line, LabelLine* out, int maxWords = kMaxLabelWords);

// "Question? answer" on one line, as forms that print their questions write
// it: a question of at most kMaxLabelWords words ending in "?" (or "？") and a
// blank, with text after it. The label keeps its question mark.
bool questionPairOf(std::string_view line, LabelLine* out);

// "Label........value": a label of at most kMaxLabelWords words, a leader of
// three dots or more (or an ellipsis), then the value.
bool leaderPairOf(std::string_view line, LabelLine* out);

// "**City:** Lyon", "**City**: Lyon", "**city** : Lyon", "**City**" and the
// same with "__" or a single "*": the line without its label's emphasis, into
// `out`; false when it has none.
bool withoutEmphasis(std::string_view line, std::string* out);

// A label with no answer on its line, its colon ending the line, in Markdown's
// emphasis or not: "Message:", "**Message**:", "**Message:**", "メッセージ：";
// in emphasis, with no colon too: "**Message**".
bool isLabelAlone(std::string_view line);

// What a line may be as a label, tested in this order: a heading above its
// value, "Label: value", a table row "label<Tab>value", a line that may stand
// above its value. The one test of a line's shape that the layout learner and
// the form reader share; whether it really is a label they decide with the
// mail's other evidence.
enum class LabelKind { kNone, kHeading, kColon, kTableRow, kBare };
LabelKind labelOf(std::string_view line, LabelLine* out);

// A row of an HTML table as the HTML reader lays it out, cells separated by a Tab:
// "label<Tab>value". The label cell holds at most 16 words; a cell with a colon at
// its end keeps it.
bool tableRowOf(std::string_view line, LabelLine* out);

// The line itself when it could be a label without a colon standing above its
// value ("Name", "Comment or Message", "Which products are you interested in?"):
// at most ten words (a question, a few more) in 120 bytes, beginning with a
// letter, not ending in a full stop or a comma. Else empty.
std::string_view bareLabelOf(std::string_view line);

// The label of a heading line that stands above its value: "--- Full Name ---",
// "== Email ==", "*** Message ***". Else empty.
std::string_view headingLabelOf(std::string_view line);

// The length in bytes of the decimal digit at `at`, of any script ("7", "۷",
// "٧", "７"); 0 when there is none.
size_t otherDigitLength(std::string_view text, size_t at);
inline size_t digitLength(std::string_view text, size_t at) {
    unsigned char c = static_cast<unsigned char>(text[at]);
    if (c < 0x80) return c >= '0' && c <= '9' ? 1 : 0;
    return otherDigitLength(text, at);
}

// Words of free text that end a sentence: at least three words ending in . ! or ?
// (or another script's full stop or question mark).
bool isSentence(std::string_view text);

// A line drawn across: "---", "____", "=====", "* * *".
bool isRuleLine(std::string_view line);

// Whether a line is shaped as a form's mark of no answer: a word or two in
// brackets, braces or Markdown emphasis ("(Vazio)", "{Tyhjä}", "_No response_",
// "[not answered]").
bool isMarkShaped(std::string_view line);

// The first line of a footer that form services and shops put under the fields:
// "Sent via …", "This e-mail was sent from …", "Powered by …", "View all responses".
bool isFooterLine(std::string_view line);

// Whether `text` asks a question, a note in brackets after it aside: "Which
// of these? (Select all that apply)".
bool endsQuestion(std::string_view text);

// `label` without a list number before it ("3. Email", "3) Email").
std::string_view withoutListNumber(std::string_view label);

// `line` without a mark that sets a label apart ("■氏名", "●Name", a
// pictograph: "👤 Name:") and the blanks after it; else `line`.
std::string_view withoutLabelMark(std::string_view line);

// The words of a label, its punctuation left out ("Which course, Ingrid?" is
// which, course, Ingrid).
std::vector<std::string_view> labelWordsOf(std::string_view label);

// Whether two labels are one question that names the person it asks ("Which
// course would you like, Ingrid?" and "..., Mateo?"; "Lucía, ¿qué taller
// prefieres?" and "José Luis, ..."): all words alike but one or two capitalised
// ones, in the same place, and at least two alike.
bool isSameQuestion(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b);

// A label as a template would name it: as shown, but without the blanks, Tabs
// or dot leaders that pad it to its colon ("Name.....:" is "Name:"; French
// "Nom :" stays).
std::string tidyLabel(std::string_view label);

// The key two labels are compared by: letters in lower case (Unicode's case
// folding beyond ASCII), a list number before it ("3. "), the colon,
// the blanks at the end and the marks around it gone ("Name :", "NAME：",
// "**Name:**" and "--- Name ---" are all "name").
std::string labelKey(std::string_view label);
void labelKey(std::string_view label, std::string* key);

}  // namespace tabulon
