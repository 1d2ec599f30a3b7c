#include "layouts/layout_install.h"

#include "base/diagnostic_log.h"

#include <algorithm>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool HasLayoutExtension(const fs::path& file) {
    std::wstring extension = file.extension().wstring();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](wchar_t c) {
        return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c;
    });
    return extension == L".kbl";
}

// The shipped layout files in name order (so the log reads the same on every system);
// empty when the folder is missing or unreadable.
std::vector<fs::path> ShippedLayoutFiles(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        std::error_code kindError;
        if (it->is_regular_file(kindError) && HasLayoutExtension(it->path())) {
            files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

fs::path ShippedLayoutFolder(const fs::path& programPath) {
    return programPath.parent_path() / L"layouts";
}

LayoutInstallOutcome InstallShippedLayouts(const fs::path& shippedFolder,
                                           const fs::path& layoutFolder) {
    LayoutInstallOutcome outcome;
    LogMessage(L"InstallShippedLayouts(\"%ls\")\n", layoutFolder.wstring().c_str());

    std::error_code error;
    const bool exists = fs::exists(layoutFolder, error);
    if (error) {
        // Whether the folder is there is unknown: leave it alone rather than risk the
        // user's files.
        LogMessage(L"   Unable to examine the layout folder (%08x).\n",
                   static_cast<unsigned>(error.value()));
        outcome.result = LayoutInstallResult::Failed;
        return outcome;
    }
    if (exists) {
        LogMessage(L"   Layout folder exists, left as it is.\n");
        outcome.result = LayoutInstallResult::FolderExists;
        return outcome;
    }

    const std::vector<fs::path> files = ShippedLayoutFiles(shippedFolder);
    if (files.empty()) {
        LogMessage(L"   No shipped layouts in \"%ls\".\n", shippedFolder.wstring().c_str());
        outcome.result = LayoutInstallResult::NothingShipped;
        return outcome;
    }

    fs::create_directories(layoutFolder, error);
    if (error) {
        LogMessage(L"   Unable to create the layout folder (%08x).\n",
                   static_cast<unsigned>(error.value()));
        outcome.result = LayoutInstallResult::Failed;
        return outcome;
    }

    bool allCopied = true;
    for (const fs::path& file : files) {
        fs::copy_file(file, layoutFolder / file.filename(), error);
        if (error) {
            LogMessage(L"   Unable to copy \"%ls\" (%08x).\n", file.filename().wstring().c_str(),
                       static_cast<unsigned>(error.value()));
            allCopied = false;
        } else {
            ++outcome.copied;
        }
    }
    LogMessage(L"   Copied %d of %d shipped layouts.\n", outcome.copied,
               static_cast<int>(files.size()));
    outcome.result = allCopied ? LayoutInstallResult::Installed : LayoutInstallResult::Failed;
    return outcome;
}
