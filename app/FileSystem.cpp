#include <filesystem>
#include <system_error>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "app/Platform.h"

namespace velkor {

namespace {

class RealFs : public IFileSystem {
 public:
  bool DirectoryExists(const std::string& path) const override {
    std::error_code error;
    return std::filesystem::is_directory(std::filesystem::path(path), error);
  }
  bool CreateDirectories(const std::string& path) override {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path), error);
    return !error && DirectoryExists(path);
  }
  bool DirectoryWritable(const std::string& path) const override {
#ifdef _WIN32
    return DirectoryExists(path);
#else
    return DirectoryExists(path) && access(path.c_str(), W_OK | X_OK) == 0;
#endif
  }
  bool RemoveFile(const std::string& path) override {
    std::error_code error;
    return std::filesystem::remove(std::filesystem::path(path), error) && !error;
  }
};

}  // namespace

IFileSystem& RealFileSystem() {
  static RealFs fs;
  return fs;
}

}  // namespace velkor
