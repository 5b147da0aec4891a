// The files a message carries beside its text: every leaf MIME part that is
// not the body the decoder read (nor another text or HTML rendering of it),
// decoded from its transfer encoding, with the name the mail gives it. The
// name is untrusted; attached_file_name.h makes it safe to write.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

typedef struct _GMimeObject GMimeObject;
typedef struct _GMimePart GMimePart;
typedef struct _GMimeContentType GMimeContentType;

namespace tabulon {

struct AttachedFile {
    std::string name;   // as the mail gives it (UTF-8 as GMime decodes it); may be empty
    std::string bytes;  // decoded; empty when `tooLarge`
    uint64_t size = 0;  // decoded size, also of a file too large to keep
    bool tooLarge = false;
};

// A file larger than this is counted, not kept: no form upload comes near it,
// and a message is at most MessageSplitter::kMaxMessageBytes anyway.
inline constexpr uint64_t kMaxAttachedFileBytes = uint64_t{25} << 20;

// Text read as it stands: text/plain, and Markdown (text/markdown, as relays
// of form mail send it). A part of no type is plain text too.
bool isPlainTextType(GMimeContentType* type);

// Appends the files of `entity`'s tree to `files`, in the message's order;
// `plain` and `html` are the parts read as the body (may be null). Parts of
// attached messages are left to the decoding of those messages.
void collectAttachedFiles(GMimeObject* entity, GMimePart* plain, GMimePart* html,
                          std::vector<AttachedFile>* files);
// The names the same files are given, without their bytes; files without a
// name are left out.
void collectAttachedNames(GMimeObject* entity, GMimePart* plain, GMimePart* html,
                          std::vector<std::string>* names);

// The folder name a message's files are saved in: its Date as local time
// ("2026-11-30_091402"), "undated" when it has none that reads, then "_" and
// the first 12 hex digits of the SHA-256 digest of `message`, which tells two
// messages of the same second apart and names the same message alike each run.
std::string attachedFilesFolderName(std::string_view rawDate, std::string_view message);

}  // namespace tabulon
