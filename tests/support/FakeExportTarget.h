#pragma once
// The calibration export's save dialog and disk, scripted: what the test answers, what the
// recorder asked and wrote.

#include <optional>
#include <string>

#include "calibration/TableExport.h"

namespace rv::test {

// The save dialog and the disk: answers with `path` (none: the technician cancelled) and fails
// the write with `failure` when one is set.
class FakeTarget : public TarExportTarget {
  public:
    std::optional<std::string> AskSavePath(const std::string& name,
                                           const std::string& folder) override {
        proposed = name;
        initialFolder = folder;
        return path;
    }
    std::optional<std::string> WriteFile(const std::string&, const std::string& b) override {
        bytes = b;
        return failure;
    }
    std::optional<std::string> path, failure;
    std::string proposed, initialFolder, bytes;
};

}  // namespace rv::test
