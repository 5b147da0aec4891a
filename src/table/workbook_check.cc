#include "table/workbook_check.h"

#include <unzip.h>

#include <memory>
#include <string_view>

namespace tabulon {
namespace {

constexpr char kSheetEntry[] = "xl/worksheets/sheet1.xml";

// Reads the sheet's XML piece by piece; a tag or entity cut between two pieces
// is carried over.
class SheetScanner {
  public:
    explicit SheetScanner(SheetCount* count) : count_(count) {}

    void add(std::string_view piece) {
        carried_.append(piece);
        std::string_view text = carried_;
        size_t i = 0;
        while (i < text.size()) {
            char c = text[i];
            if (c == '<') {
                size_t end = text.find('>', i);
                if (end == std::string_view::npos) break;  // the rest of the tag comes next
                std::string_view tag = text.substr(i + 1, end - i - 1);
                if (tag.starts_with("c ") || tag == "c") ++count_->cells;
                if (tag == "t" || tag.starts_with("t ")) inText_ = true;
                if (tag == "/t") inText_ = false;
                i = end + 1;
            } else if (c == '&') {
                size_t end = text.find(';', i);
                if (end == std::string_view::npos) break;
                if (inText_) ++count_->textBytes;
                i = end + 1;
            } else {
                size_t end = text.find_first_of("<&", i);
                if (end == std::string_view::npos) end = text.size();
                if (inText_) count_->textBytes += end - i;
                i = end;
            }
        }
        carried_.erase(0, i);
    }

    // Whether the sheet ended outside a tag and an entity.
    bool whole() const { return carried_.empty(); }

  private:
    SheetCount* count_;
    std::string carried_;
    bool inText_ = false;
};

}  // namespace

Status countSheet(const std::string& path, SheetCount* count) {
    *count = {};
    std::unique_ptr<void, int (*)(unzFile)> zip(unzOpen64(path.c_str()), unzClose);
    if (zip == nullptr || unzLocateFile(zip.get(), kSheetEntry, 1) != UNZ_OK ||
        unzOpenCurrentFile(zip.get()) != UNZ_OK) {
        return Status::Corrupt("the finished workbook holds no sheet");
    }
    SheetScanner scanner(count);
    std::unique_ptr<char[]> block(new char[1 << 16]);
    int read = 0;
    while ((read = unzReadCurrentFile(zip.get(), block.get(), 1 << 16)) > 0)
        scanner.add(std::string_view(block.get(), static_cast<size_t>(read)));
    // Closing checks the sheet against its checksum.
    if (unzCloseCurrentFile(zip.get()) != UNZ_OK || read < 0 || !scanner.whole())
        return Status::Corrupt("the finished workbook's sheet does not unpack whole");
    return Status::Ok();
}

}  // namespace tabulon
