// Scripting messages: any bytes decode without harm, and a message that decodes
// encodes back to the same bytes.
#include <cstdint>
#include <string>

#include "platform/scripting_event.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    tabulon::ScriptingEvent event;
    if (tabulon::decodeEvent(bytes, &event) == tabulon::DecodeResult::kComplete) {
        if (tabulon::encodeEvent(event) != bytes) __builtin_trap();
        if (event.eventClass.size() != 4 || event.eventId.size() != 4) __builtin_trap();
    }
    return 0;
}
