#include "preview/save_choice.h"

#include <algorithm>

#include "conversion/output_plan.h"

namespace tabulon {
namespace {

bool endsWithNoCase(std::string_view text, std::string_view end) {
    if (end.empty() || text.size() < end.size()) return false;
    std::string_view tail = text.substr(text.size() - end.size());
    for (size_t i = 0; i < end.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(tail[i]) != lower(end[i])) return false;
    }
    return true;
}

}  // namespace

const std::vector<TableFormat>& offeredFormats() {
    static const std::vector<TableFormat> formats = [] {
        std::vector<const FormatInfo*> offered;
        for (const FormatInfo& info : tableFormats()) {
            if (info.dialogPlace > 0) offered.push_back(&info);
        }
        std::sort(offered.begin(), offered.end(),
                  [](auto* a, auto* b) { return a->dialogPlace < b->dialogPlace; });
        std::vector<TableFormat> result;
        for (const FormatInfo* info : offered)
            result.push_back(info->format);
        return result;
    }();
    return formats;
}

std::string formatFilter(TableFormat format) {
    return std::string(formatInfo(format).dialogFilter);
}

std::optional<TableFormat> formatOfFilter(std::string_view filter) {
    for (TableFormat format : offeredFormats()) {
        if (filter == formatFilter(format) || filter == formatName(format)) return format;
    }
    return std::nullopt;
}

std::string proposedOutputName(const std::string& inputName, TableFormat format) {
    return OutputPlan("", formatExtension(format)).besideName(inputName);
}

std::optional<TableFormat> formatOfName(std::string_view name) {
    for (TableFormat format : offeredFormats()) {
        if (endsWithNoCase(name, formatExtension(format))) return format;
    }
    return std::nullopt;
}

SaveTarget resolveSaveTarget(const std::string& chosenPath, TableFormat filterFormat) {
    if (std::optional<TableFormat> named = formatOfName(chosenPath)) return {chosenPath, *named};
    return {chosenPath + std::string(formatExtension(filterFormat)), filterFormat};
}

std::string renamedForFormat(const std::string& name, TableFormat format) {
    std::string stem = name;
    if (std::optional<TableFormat> named = formatOfName(name))
        stem.resize(name.size() - formatExtension(*named).size());
    return stem + std::string(formatExtension(format));
}

TableOptions tableOptionsFor(TableFormat format) {
    TableOptions options;
    options.byteOrderMark = formatInfo(format).byteOrderMark;
    return options;
}

}  // namespace tabulon
