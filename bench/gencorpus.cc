static const char kUsage[] =
    R"(Usage: tabulon-gencorpus --size BYTES [--seed N] [--line-end lf|crlf|cr] [--long-line] [--mime] [--dense]

Writes a deterministic file of saved form mail to standard output, about BYTES
long: mail headers, the fields of the "Field Names" template in varying case and
order, messages missing a field, and continuation lines. With --long-line the
output is a single "Comments:" line of BYTES bytes with no line end. With --mime
the messages are MIME mail as form mailers send it: plain text, quoted-printable
and base64 UTF-8, HTML only, multipart/alternative, ISO-8859-1 and UTF-8 8-bit,
with RFC 2047 subjects (encoded with GMime).
With --dense each message keeps only its Subject header, so about half the
input is output.
)";

#include <gmime/gmime.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

struct Options {
    uint64_t size = 0;
    uint64_t seed = 1;
    std::string lineEnd = "\n";
    bool longLine = false;
    bool mime = false;
    bool dense = false;
};

const char* const kFirst[] = {"Ann", "Bo", "Carla", "Dmitri", "Eva", "Farid", "Grete", "Hiro"};
const char* const kLast[] = {"Lee", "Ek", "Souza", "Ivanov", "Berg", "Haddad", "Olsen", "Sato"};
const char* const kComments[] = {
    "Do you ship to Norway? I would like two of the blue ones.",
    "Please call me back in the afternoon.",
    "The order arrived, thank you!",
    "Is there a discount for schools?\tWe need thirty.",
    "Caf\xc3\xa9 opening hours on Sundays?",
};

class Writer {
  public:
    explicit Writer(const Options& options) : options_(options), random_(options.seed) {}

    void run() {
        if (options_.longLine) return longLine();
        while (written_ < options_.size) {
            if (options_.mime)
                mimeMessage();
            else
                message();
        }
        flush();
    }

  private:
    uint64_t pick(uint64_t n) { return random_() % n; }
    template <size_t N>
    const char* pick(const char* const (&list)[N]) {
        return list[pick(N)];
    }

    void put(const std::string& text) {
        buffer_ += text;
        written_ += text.size();
        if (buffer_.size() >= (1 << 20)) flush();
    }
    void line(const std::string& text) { put(text + options_.lineEnd); }
    void flush() {
        std::fwrite(buffer_.data(), 1, buffer_.size(), stdout);
        buffer_.clear();
    }

    void message() {
        ++count_;
        std::string n = std::to_string(count_);
        if (!options_.dense) {
            line("From forms@shop.example  Mon Nov 30 09:14:02 2026");
            line("Return-Path: <forms@shop.example>");
            line("Message-ID: <" + n + "@shop.example>");
        }
        line("Subject: Contact form submission");
        line("");
        std::string first = pick(kFirst), last = pick(kLast);
        line("Name: " + first + " " + last);
        line((pick(10) == 0 ? "EMAIL: " : "Email: ") + first + "." + last + n + "@mail.example");
        if (pick(5) != 0) line("Phone: +47 555 " + std::to_string(1000 + pick(9000)));
        line(std::string("Comments: ") + pick(kComments));
        if (pick(4) == 0) line("  and a continuation line of the comment.");
        line("");
    }

    // The form's fields as UTF-8 text lines (LF), as the mailer's script builds them.
    std::string formText(const std::string& n, bool latin) {
        std::string first = pick(kFirst), last = pick(kLast);
        std::string text = "Name: " + first + " " + last + "\n";
        text += "Email: " + first + "." + last + n + "@mail.example\n";
        if (pick(5) != 0) text += "Phone: +47 555 " + std::to_string(1000 + pick(9000)) + "\n";
        const char* comment = latin ? "Tr\xc3\xa8s bien re\xc3\xa7u, merci !" : pick(kComments);
        text += std::string("Comments: ") + comment + "\n";
        if (pick(4) == 0) text += "  and a continuation line of the comment.\n";
        return text;
    }

    static std::string encode(const std::string& text, bool base64) {
        std::string out(
            base64 ? GMIME_BASE64_ENCODE_LEN(text.size()) : GMIME_QP_ENCODE_LEN(text.size()), '\0');
        int state = base64 ? 0 : -1;  // the encoders' documented starting states
        guint32 save = 0;
        auto in = reinterpret_cast<const unsigned char*>(text.data());
        auto buffer = reinterpret_cast<unsigned char*>(out.data());
        size_t n =
            base64 ? g_mime_encoding_base64_encode_close(in, text.size(), buffer, &state, &save)
                   : g_mime_encoding_quoted_encode_close(in, text.size(), buffer, &state, &save);
        out.resize(n);
        return out;
    }

    static std::string toLatin1(const std::string& utf8) {
        std::string out;
        for (size_t i = 0; i < utf8.size(); ++i) {
            auto c = static_cast<unsigned char>(utf8[i]);
            if (c == 0xC3 && i + 1 < utf8.size()) {
                out += static_cast<char>(static_cast<unsigned char>(utf8[++i]) + 0x40);
            } else {
                out += static_cast<char>(c);
            }
        }
        return out;
    }

    // Puts `text` (LF lines) out with the chosen line ends.
    void lines(const std::string& text) {
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            line(text.substr(start, end - start));
            start = end + 1;
        }
    }

    void mimeMessage() {
        ++count_;
        std::string n = std::to_string(count_);
        uint64_t kind = pick(10);
        line("From forms@shop.example  Mon Nov 30 09:14:02 2026");
        line("Return-Path: <forms@shop.example>");
        line("Date: Mon, 30 Nov 2026 09:14:02 +0100");
        line("From: Web Form <forms@shop.example>");
        line("Message-ID: <" + n + "@shop.example>");
        line(kind % 2 == 0 ? "Subject: Contact form submission"
                           : "Subject: =?UTF-8?Q?Kontaktformular_=E2=80=93_Anfrage?=");
        line("MIME-Version: 1.0");
        std::string text = formText(n, kind == 8);
        switch (kind) {
            case 4:
            case 5: {
                bool base64 = kind == 5;
                line("Content-Type: text/plain; charset=UTF-8");
                line(base64 ? "Content-Transfer-Encoding: base64"
                            : "Content-Transfer-Encoding: quoted-printable");
                line("");
                lines(encode(text, base64));
                break;
            }
            case 6:
                line("Content-Type: text/html; charset=UTF-8");
                line("Content-Transfer-Encoding: quoted-printable");
                line("");
                lines(encode(html(text), false));
                break;
            case 7:
                line("Content-Type: multipart/alternative; boundary=\"b1_" + n + "\"");
                line("");
                line("--b1_" + n);
                line("Content-Type: text/plain; charset=UTF-8");
                line("Content-Transfer-Encoding: quoted-printable");
                line("");
                lines(encode(text, false));
                line("--b1_" + n);
                line("Content-Type: text/html; charset=UTF-8");
                line("Content-Transfer-Encoding: quoted-printable");
                line("");
                lines(encode(html(text), false));
                line("--b1_" + n + "--");
                break;
            case 8:
                line("Content-Type: text/plain; charset=ISO-8859-1");
                line("Content-Transfer-Encoding: 8bit");
                line("");
                lines(toLatin1(text));
                break;
            default:
                line("Content-Type: text/plain; charset=UTF-8");
                line("Content-Transfer-Encoding: 8bit");
                line("");
                lines(text);
                break;
        }
        line("");
    }

    // The form's lines as an HTML table, one row per line.
    static std::string html(const std::string& text) {
        std::string out = "<html><body><p>New form entry:</p><table>\n";
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            std::string row = text.substr(start, end - start);
            size_t colon = row.find(':');
            if (colon == std::string::npos) {
                out += "<tr><td></td><td>" + row + "</td></tr>\n";
            } else {
                out += "<tr><td><b>" + row.substr(0, colon + 1) + "</b></td><td>" +
                       row.substr(colon + 2) + "</td></tr>\n";
            }
            start = end + 1;
        }
        return out + "</table></body></html>\n";
    }

    void longLine() {
        std::string chunk;
        for (int i = 0; i < 4096; ++i)
            chunk += static_cast<char>('a' + pick(26));
        put("Comments: ");
        while (written_ < options_.size) {
            uint64_t left = options_.size - written_;
            put(left < chunk.size() ? chunk.substr(0, left) : chunk);
        }
        flush();
    }

    Options options_;
    std::mt19937_64 random_;
    std::string buffer_;
    uint64_t written_ = 0;
    uint64_t count_ = 0;
};

bool parse(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--size" && hasValue) {
            options->size = std::strtoull(argv[++i], nullptr, 10);
        } else if (arg == "--seed" && hasValue) {
            options->seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (arg == "--line-end" && hasValue) {
            std::string end = argv[++i];
            if (end == "lf")
                options->lineEnd = "\n";
            else if (end == "crlf")
                options->lineEnd = "\r\n";
            else if (end == "cr")
                options->lineEnd = "\r";
            else
                return false;
        } else if (arg == "--long-line") {
            options->longLine = true;
        } else if (arg == "--mime") {
            options->mime = true;
        } else if (arg == "--dense") {
            options->dense = true;
        } else {
            return false;
        }
    }
    return options->size > 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, &options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    Writer(options).run();
    return std::ferror(stdout) ? 1 : 0;
}
