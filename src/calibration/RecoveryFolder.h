#pragma once
// The folder of kept calibration tables (the state folder's "calibration"): one file per table,
// rewritten whole at every change of its channel, listed newest first for the restore dialog, and
// kept within the same limits as the session journal.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "calibration/Recovery.h"
#include "files/Retention.h"

namespace rv {

// Writes the table to its file in `folder` (KeptTableFileName), replacing the earlier state of the
// same table in one step. Nothing on success, else the error text (UTF-8).
std::optional<std::string> SaveKeptTable(const std::filesystem::path& folder,
                                         const KeptTableState& state);

struct KeptTable {
    std::filesystem::path file;
    KeptTableState state;
};

// Every well-formed kept table of the folder, the most recently changed first (equal times: by
// file name, later first). Files that cannot be read or parsed are skipped.
std::vector<KeptTable> ListKeptTables(const std::filesystem::path& folder);

// The folder's retention check (at start and whenever a table's file is left for good).
std::size_t ApplyKeptTableRetention(const std::filesystem::path& folder, std::int64_t now,
                                    const RetentionLimits& limits = {});

}  // namespace rv
