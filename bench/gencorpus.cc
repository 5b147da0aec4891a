static const char kUsage[] =
    R"(Usage: tabulon-gencorpus --size BYTES [--seed N] [--line-end lf|crlf|cr] [--long-line] [--dense]

Writes a deterministic file of saved form mail to standard output, about BYTES
long: mail headers, the fields of the "Field Names" template in varying case and
order, messages missing a field, and continuation lines. With --long-line the
output is a single "Comments:" line of BYTES bytes with no line end. With --dense
each message keeps only its Subject header, so about half the input is output.
)";

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
        while (written_ < options_.size)
            message();
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
