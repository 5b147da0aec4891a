#include "preview/save_choice.h"

#include <algorithm>

#include "output/output_plan.h"

namespace tabulon {

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

std::optional<TableFormat> offeredFormatOfName(std::string_view name) {
    std::optional<TableFormat> named = formatOfName(name);
    if (named && formatInfo(*named).dialogPlace == 0) return std::nullopt;
    return named;
}

SaveTarget resolveSaveTarget(const std::string& chosenPath, TableFormat filterFormat) {
    if (std::optional<TableFormat> named = offeredFormatOfName(chosenPath))
        return {chosenPath, *named};
    return {chosenPath + std::string(formatExtension(filterFormat)), filterFormat};
}

std::string renamedForFormat(const std::string& name, TableFormat format) {
    std::string stem = name;
    if (std::optional<TableFormat> named = offeredFormatOfName(name))
        stem.resize(name.size() - formatExtension(*named).size());
    return stem + std::string(formatExtension(format));
}

std::string attachmentsFolderFor(const std::string& tablePath) {
    std::string stem = tablePath;
    if (std::optional<TableFormat> format = offeredFormatOfName(tablePath))
        stem.resize(stem.size() - formatExtension(*format).size());
    return stem + " Attachments";
}

TableOptions tableOptionsFor(TableFormat format) {
    TableOptions options;
    options.byteOrderMark = formatInfo(format).byteOrderMark;
    return options;
}

}  // namespace tabulon
