// A Field Names template proposed from the mail itself: the labels that most
// messages' bodies use, in the order they usually come.
#pragma once

#include <string>

#include "mail/form_layout.h"
#include "mail/label_census.h"
#include "platform/byte_stream.h"
#include "templates/field_list.h"

namespace tabulon {

// Labels found in at least half of the messages, in their usual order.
FieldList guessTemplate(const LabelCensus& census);

// Reads the labels of `input`'s messages into `census`, as a conversion would find
// them (the first LabelCensus::kOrderSamples messages).
// With `layout`, the input's own first messages do not teach another.
Status countLabels(ByteSource& input, LabelCensus* census, const FormLayout* layout = nullptr);

// The Field Names file's bytes: each name followed by CR.
std::string fieldNamesText(const FieldList& fields);

}  // namespace tabulon
