#include "form/headless_platform.h"

#include <ctime>
#include <filesystem>

namespace tw {

std::string HeadlessPlatform::ExeFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string("./") : exe.parent_path().string() + "/";
}

CalendarDate HeadlessPlatform::Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace tw
