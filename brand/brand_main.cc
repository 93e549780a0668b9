#include "brand/brand_main.h"

#include <new>

#include "brand/brand_image.h"
#include "brand/brand_options.h"
#include "brand/file_io.h"
#include "brand/utf.h"
#include "brand/zip_archive.h"
#include "settings/version.h"

namespace {

constexpr std::size_t kMaxArchiveSize = std::size_t{1} << 30;
// A launcher that carries the largest archive can be branded again.
constexpr std::size_t kMaxExecutableSize = kMaxArchiveSize + (512u << 20);
constexpr std::size_t kMaxIconSize = 64u << 20;
constexpr std::size_t kMaxConfigSize = 1u << 20;

int Refuse(std::ostream& err, int code, const std::string& text) {
  err << "launcher-brand: " << text << "\n";
  return code;
}

// "Tool" of "Tool.exe", "Tool.EXE"; other names stay whole.
std::string WithoutExe(const std::string& name) {
  if (name.size() < 4) return name;
  std::string tail = name.substr(name.size() - 4);
  for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return tail == ".exe" ? name.substr(0, name.size() - 4) : name;
}

void AddString(VersionEdits* edits, const char16_t* key,
               const std::string& utf8) {
  std::u16string text;
  Utf8ToUtf16(utf8, &text);  // checked when the options were read
  edits->strings.push_back({key, text});
}

VersionEdits VersionEditsOf(const BrandOptions& o) {
  VersionEdits edits;
  const std::pair<const char16_t*, const std::optional<std::string>*>
      strings[] = {{u"CompanyName", &o.company},
                   {u"FileDescription", &o.description},
                   {u"FileVersion", &o.versionText},
                   {u"LegalCopyright", &o.copyright},
                   {u"ProductName", &o.productName},
                   {u"ProductVersion", &o.versionText}};
  for (const auto& [key, value] : strings) {
    if (*value) AddString(&edits, key, **value);
  }
  std::string name = FileNameOf(o.output);
  AddString(&edits, u"InternalName", WithoutExe(name));
  AddString(&edits, u"OriginalFilename", name);
  edits.fixedVersion = o.versionNumbers;
  return edits;
}

int Brand(const std::vector<std::string>& args, std::ostream& out,
          std::ostream& err) {
  BrandOptions options;
  std::string error;
  if (!ParseBrandOptions(args, &options, &error)) {
    return Refuse(err, kExitUsage, error);
  }
  if (options.showHelp) {
    out << BrandUsage();
    return kExitOk;
  }
  if (options.showVersion) {
    out << "launcher-brand " LAUNCHER_VERSION "\n";
    return kExitOk;
  }
  BrandRequest request;
  request.version = VersionEditsOf(options);
  request.executionLevel = options.executionLevel;
  Bytes input, file;
  if (!ReadWholeFile(options.input, kMaxExecutableSize, &input, &error)) {
    return Refuse(err, kExitRefused, error);
  }
  if (options.icon) {
    std::vector<IconImage> images;
    if (!ReadWholeFile(*options.icon, kMaxIconSize, &file, &error)) {
      return Refuse(err, kExitRefused, error);
    }
    if (!ParseIconFile(file, &images, &error)) {
      return Refuse(err, kExitRefused, *options.icon + ": " + error);
    }
    request.icon = std::move(images);
  }
  if (options.config) {
    if (!ReadWholeFile(*options.config, kMaxConfigSize, &file, &error)) {
      return Refuse(err, kExitRefused, error);
    }
    request.config = std::move(file);
  }
  if (options.jar) {
    if (!ReadWholeFile(*options.jar, kMaxArchiveSize, &file, &error)) {
      return Refuse(err, kExitRefused, error);
    }
    if (!CheckZipArchive(file, 0, file.size(), &error)) {
      return Refuse(err, kExitRefused, *options.jar + ": " + error);
    }
    request.archive = std::move(file);
  }
  request.removeArchive = options.noJar;
  Bytes output;
  std::vector<std::string> warnings;
  if (!BrandImage(std::move(input), request, &output, &warnings, &error)) {
    return Refuse(err, kExitRefused, options.input + ": " + error);
  }
  if (!ReplaceFile(options.output, output, options.input, &error)) {
    return Refuse(err, kExitRefused, error);
  }
  for (const std::string& warning : warnings) {
    err << "launcher-brand: warning: " << warning << "\n";
  }
  return kExitOk;
}

}  // namespace

int BrandMain(const std::vector<std::string>& args, std::ostream& out,
              std::ostream& err) {
  // Files of a gigabyte and more may not fit a 32-bit process; running out
  // of memory is a refusal like any other, before OUTPUT is touched.
  try {
    return Brand(args, out, err);
  } catch (const std::bad_alloc&) {
    return Refuse(err, kExitRefused, "not enough memory for these files");
  }
}
