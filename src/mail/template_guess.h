// A Field Names template proposed from the mail itself: the labels that most
// messages' bodies use, in the order they usually come.
#pragma once

#include <string>

#include "mail/label_census.h"
#include "platform/byte_stream.h"
#include "templates/field_list.h"

namespace tabulon {

// Labels found in at least half of the messages, in their usual order.
FieldList guessTemplate(const LabelCensus& census);

// Reads the labels of `input`'s messages into `census`, as a conversion would find
// them (the first LabelCensus::kOrderSamples messages).
Status countLabels(ByteSource& input, LabelCensus* census);

// The Field Names file's bytes: each name followed by CR.
std::string fieldNamesText(const FieldList& fields);

}  // namespace tabulon
