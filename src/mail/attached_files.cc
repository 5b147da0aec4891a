#include "mail/attached_files.h"

#include <gmime/gmime.h>

#include "platform/sha256.h"

namespace tabulon {
bool isPlainTextType(GMimeContentType* type) {
    if (type == nullptr) return true;
    const char* media = g_mime_content_type_get_media_type(type);
    const char* subtype = g_mime_content_type_get_media_subtype(type);
    if (media == nullptr || subtype == nullptr || g_ascii_strcasecmp(media, "text") != 0)
        return false;
    return g_ascii_strcasecmp(subtype, "plain") == 0 ||
           (g_ascii_tolower(subtype[0]) != 'h' && (g_ascii_strcasecmp(subtype, "markdown") == 0 ||
                                                   g_ascii_strcasecmp(subtype, "x-markdown") == 0));
}

namespace {

// A text or HTML part without a name that the mail does not mark as an
// attachment is another rendering of the body (multipart/alternative), not a file.
bool isBodyText(GMimePart* part) {
    if (g_mime_part_is_attachment(part) || g_mime_part_get_filename(part) != nullptr) return false;
    GMimeContentType* type = g_mime_object_get_content_type(GMIME_OBJECT(part));
    return isPlainTextType(type) || g_mime_content_type_is_type(type, "text", "html");
}

AttachedFile fileOf(GMimePart* part) {
    AttachedFile file;
    if (const char* name = g_mime_part_get_filename(part)) file.name = name;
    GMimeDataWrapper* content = g_mime_part_get_content(part);
    if (content == nullptr) return file;
    GMimeStream* decoded = g_mime_stream_mem_new();
    g_mime_data_wrapper_write_to_stream(content, decoded);
    GByteArray* array = GMIME_STREAM_MEM(decoded)->buffer;
    file.size = array->len;
    file.tooLarge = file.size > kMaxAttachedFileBytes;
    if (!file.tooLarge) file.bytes.assign(reinterpret_cast<const char*>(array->data), array->len);
    g_object_unref(decoded);
    return file;
}

// Calls `visit` with each leaf part that is a file.
template <typename Visit>
void collect(GMimeObject* object, GMimePart* plain, GMimePart* html, const Visit& visit,
             int depth) {
    if (object == nullptr || depth > 64) return;
    if (GMIME_IS_MULTIPART(object)) {
        GMimeMultipart* multipart = GMIME_MULTIPART(object);
        int count = g_mime_multipart_get_count(multipart);
        for (int i = 0; i < count; ++i)
            collect(g_mime_multipart_get_part(multipart, i), plain, html, visit, depth + 1);
        return;
    }
    if (!GMIME_IS_PART(object)) return;  // an attached message: decoded on its own
    GMimePart* part = GMIME_PART(object);
    if (part == plain || part == html || isBodyText(part)) return;
    visit(part);
}

}  // namespace

void collectAttachedFiles(GMimeObject* entity, GMimePart* plain, GMimePart* html,
                          std::vector<AttachedFile>* files) {
    collect(
        entity, plain, html, [files](GMimePart* part) { files->push_back(fileOf(part)); }, 0);
}

void collectAttachedNames(GMimeObject* entity, GMimePart* plain, GMimePart* html,
                          std::vector<std::string>* names) {
    collect(
        entity, plain, html,
        [names](GMimePart* part) {
            if (const char* name = g_mime_part_get_filename(part); name != nullptr && *name != 0)
                names->emplace_back(name);
        },
        0);
}

std::string attachedFilesFolderName(std::string_view rawDate, std::string_view message) {
    std::string name = "undated";
    std::string date(rawDate);
    if (GDateTime* when = g_mime_utils_header_decode_date(date.c_str())) {
        if (GDateTime* local = g_date_time_to_local(when)) {
            if (gchar* text = g_date_time_format(local, "%Y-%m-%d_%H%M%S")) {
                name = text;
                g_free(text);
            }
            g_date_time_unref(local);
        }
        g_date_time_unref(when);
    }
    return name + "_" + sha256Hex(message).substr(0, 12);
}

}  // namespace tabulon
