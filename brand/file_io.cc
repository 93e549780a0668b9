#include "brand/file_io.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool Fail(std::string* error, const std::string& path,
          const std::string& text) {
  *error = path + ": " + text;
  return false;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::size_t maxSize, Bytes* data,
                   std::string* error) {
  fs::path p = fs::u8path(path);
  std::error_code ec;
  if (!fs::is_regular_file(p, ec)) {
    return Fail(error, path,
                fs::exists(p, ec) ? "not a file" : "no such file");
  }
  std::uintmax_t size = fs::file_size(p, ec);
  if (ec) return Fail(error, path, "cannot read: " + ec.message());
  if (size > maxSize) {
    return Fail(error, path, "larger than " + std::to_string(maxSize) +
                                 " bytes");
  }
  std::ifstream in(p, std::ios::binary);
  if (!in) return Fail(error, path, "cannot be opened for reading");
  data->assign(static_cast<std::size_t>(size), 0);
  in.read(reinterpret_cast<char*>(data->data()),
          static_cast<std::streamsize>(size));
  if (!in || in.gcount() != static_cast<std::streamsize>(size) ||
      in.peek() != std::ifstream::traits_type::eof()) {
    return Fail(error, path, "could not be read whole");
  }
  return true;
}

bool ReplaceFile(const std::string& path, const Bytes& data,
                 const std::string& model, std::string* error) {
  fs::path target = fs::u8path(path);
  fs::path folder = target.parent_path();
  std::error_code ec;
  if (!folder.empty() && !fs::is_directory(folder, ec)) {
    return Fail(error, path, "its folder does not exist");
  }
  if (fs::is_directory(target, ec)) return Fail(error, path, "is a folder");
  fs::path temp;
  for (int n = 0;; ++n) {
    temp = target;
    temp += ".brand-" + std::to_string(n) + ".tmp";
    if (!fs::exists(temp, ec) && !ec) break;
    if (n == 1000) return Fail(error, path, "no name for a temporary file");
  }
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return Fail(error, path, "cannot be written");
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
    out.flush();
    out.close();
    if (out.fail()) {
      fs::remove(temp, ec);
      return Fail(error, path, "writing failed");
    }
  }
#ifndef _WIN32
  // A branded copy is as executable as the launcher it was made from. A
  // file system without permission bits refuses the change; the copy is
  // still whole, so that is no failure.
  fs::file_status modelStatus = fs::status(fs::u8path(model), ec);
  if (!ec && fs::is_regular_file(modelStatus)) {
    fs::permissions(temp, modelStatus.permissions(), ec);
  }
#else
  (void)model;  // Windows has no permission bits to carry over
#endif
  fs::rename(temp, target, ec);
  if (ec) {
    std::string reason = ec.message();
    fs::remove(temp, ec);
    return Fail(error, path, "cannot be replaced: " + reason);
  }
  return true;
}

std::string FileNameOf(const std::string& path) {
  return fs::u8path(path).filename().u8string();
}
