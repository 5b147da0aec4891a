// Where the outputs of a conversion go, for every way of starting one: beside each
// input, named after it with " Converted" and the format's extension; into one
// file named by the user; or onto standard output (asked for as "-", and where
// standard input is converted without a named output). Also the one refusal every
// conversion makes before it writes: an output that is one of its inputs.
#pragma once

#include <string>
#include <string_view>

#include "platform/status.h"

namespace tabulon {

// One output: a file, or standard output.
class OutputTarget {
  public:
    static OutputTarget file(std::string path) { return OutputTarget(std::move(path), false); }
    static OutputTarget standardOutput() { return OutputTarget("", true); }
    // The output a user named: "-" is standard output, anything else a file.
    static OutputTarget named(std::string output) {
        return output == "-" ? standardOutput() : file(std::move(output));
    }

    bool isStandardOutput() const { return standardOutput_; }
    // The file's path; "" for standard output.
    const std::string& path() const { return path_; }
    // How messages name it: the path, or "standard output".
    std::string name() const { return standardOutput_ ? "standard output" : path_; }

    // An error naming both when this output is the input `inputName` open as
    // `inputFd`: writing would destroy it, or make it grow while it is read.
    // Standard output counts as the input only when both are one regular file
    // (not when both are one terminal).
    Status refuseInput(int inputFd, const std::string& inputName) const;
    // The same before the input is opened: `input` is a path, "-" standard input.
    Status refuseInput(const std::string& input) const;

  private:
    OutputTarget(std::string path, bool standardOutput)
        : path_(std::move(path)), standardOutput_(standardOutput) {}

    std::string path_;
    bool standardOutput_;
};

class OutputPlan {
  public:
    // `output`: the name the user gave for the output, "" for none (each output
    // beside its input), "-" for standard output. `extension`: what the format
    // appends to a name made from an input's (".csv"; "" for the tab format).
    OutputPlan(std::string output, std::string_view extension)
        : output_(std::move(output)), extension_(extension) {}

    // True when every input goes into the one output the user named.
    bool namedOutput() const { return !output_.empty(); }
    // Where the conversion of `input` goes. `input` "-" is standard input, whose
    // output without a named one is standard output.
    OutputTarget targetFor(const std::string& input) const;
    // "<input> Converted" and the extension: the name proposed for `input`'s
    // output (a path, or a file name alone).
    std::string besideName(const std::string& input) const { return input + suffix(); }
    // What besideName appends: " Converted" and the extension.
    std::string suffix() const { return " Converted" + extension_; }

  private:
    std::string output_;
    std::string extension_;
};

// How a conversion names its input in messages: the path, or "standard input" for "-".
std::string inputDisplayName(const std::string& input);

}  // namespace tabulon
