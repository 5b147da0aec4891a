// The words a form's tool prints where a field was left empty ("not given",
// "Keine Angabe", "не указано", "未入力"), in the languages forms are written in.
#pragma once

#include <string_view>

namespace tabulon {

// Whether an answer, whole, is a tool's mark of no answer: a dash, a slash or
// "n/a" alone, or one of the phrases for "not given", "not filled in", "no
// answer" in any of some sixty languages (letter case and a mark around it,
// "(", "_", "-", ".", aside). What a person might answer ("none", "no",
// "unknown") is never one.
bool saysNoAnswer(std::string_view value);

}  // namespace tabulon
