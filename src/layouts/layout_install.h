#pragma once
// First-start installation of the layouts that ship with the program: they are copied into
// the user's layout folder once, when that folder does not exist yet. An existing folder,
// even an empty one, belongs to the user and is never changed.
#include <filesystem>

enum class LayoutInstallResult {
    Installed,      // the folder was created and every shipped layout copied into it
    FolderExists,   // the layout folder (or something of that name) exists: nothing done
    NothingShipped, // no shipped layouts folder, or no layout in it: nothing done
    Failed,         // the folder could not be created, or some layout could not be copied
};

struct LayoutInstallOutcome {
    LayoutInstallResult result = LayoutInstallResult::Failed;
    int copied = 0; // layouts copied into the new folder
};

// The folder of shipped layouts: "layouts" beside the program file.
std::filesystem::path ShippedLayoutFolder(const std::filesystem::path& programPath);

// Copies every *.kbl file of shippedFolder (not its subfolders) into layoutFolder when
// layoutFolder does not exist, creating it and any missing parent folders. When nothing is
// shipped the layout folder is not created, so that a later start with a complete
// installation still fills it. Writes its steps to the diagnostic log.
LayoutInstallOutcome InstallShippedLayouts(const std::filesystem::path& shippedFolder,
                                           const std::filesystem::path& layoutFolder);
