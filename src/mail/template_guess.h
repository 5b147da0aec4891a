// A Field Names template proposed from the mail itself: the labels that most
// messages' bodies use, in the order they usually come.
#pragma once

#include <string>

#include "mail/label_census.h"
#include "platform/byte_stream.h"
#include "templates/field_list.h"

namespace tabulon {

// Labels found in more than half of the messages (all of them when there is one);
// where there are none, labels without a colon found as often.
FieldList guessTemplate(const LabelCensus& census);

// Reads every message of `input` into `census`.
Status countLabels(ByteSource& input, LabelCensus* census);

// The Field Names file's bytes: each name followed by CR.
std::string fieldNamesText(const FieldList& fields);

}  // namespace tabulon
