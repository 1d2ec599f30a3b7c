#include "support/test_support.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <random>

CapturedLog::CapturedLog() {
    auto logger = std::make_unique<StringLogger>();
    logger_ = logger.get();
    previous_ = InstallLogger(std::move(logger));
}

CapturedLog::~CapturedLog() {
    InstallLogger(std::move(previous_));
}

TempFolder::TempFolder() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        path_ = base / ("tapwise-test-" + std::to_string(random()) + "-" +
                        std::to_string(counter.fetch_add(1)));
        if (std::filesystem::create_directory(path_)) {
            break;
        }
    }
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
