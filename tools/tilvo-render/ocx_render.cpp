// tilvo-ocx-render: the Windows side of the picture comparison. It points
// the game client's registry key at CLIENT, as the client's installer would
// (the older installers' "ExePath", or with --installdir the current 2D
// installer's "InstallDir" alone), so that every control finds and loads the
// client when it is made, as tilvo-render's does with --client. For each line "NAME OPTIONS..." of a
// case file (the options of tilvo-render), it creates the control by its
// ProgID, applies the options through IDispatch
// in tilvo-render's order, draws it with IViewObject::Draw into a DIB section
// of the requested size, and writes the picture's bytes (blue, green, red,
// rows top-down, without padding) to OUTDIR\NAME.bgr, as tilvo-render writes
// a raw picture. Exits 0 when every case was drawn and written.
//
//   tilvo-ocx-render CASES CLIENT OUTDIR [--installdir]

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "artcontrol/ocx/tests/com_host.h"
#include "render_options.h"

using namespace tilvo::ocx::testing;
using tilvo::render_tool::RenderOptions;

namespace {

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// HKLM\SOFTWARE\Origin Worlds Online\Ultima Online\1.0, ExePath = CLIENT\client.exe; or, for the
// current installer, no such key and ...\EA Games\Ultima Online Classic, InstallDir = CLIENT.
bool RegisterClient(const std::string& client, bool installDir) {
  HKEY software = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_ALL_ACCESS, &software) != ERROR_SUCCESS) return false;
  ::RegDeleteTreeA(software, "Origin Worlds Online");
  ::RegDeleteTreeA(software, "Electronic Arts");
  ::RegCloseKey(software);
  const char* path = installDir ? "SOFTWARE\\Electronic Arts\\EA Games\\Ultima Online Classic"
                                : "SOFTWARE\\Origin Worlds Online\\Ultima Online\\1.0";
  HKEY key = nullptr;
  if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const std::string value = installDir ? client : client + "\\client.exe";
  const bool ok = ::RegSetValueExA(key, installDir ? "InstallDir" : "ExePath", 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(value.c_str()),
                                   static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
  ::RegCloseKey(key);
  return ok;
}

bool Apply(IDispatch* control, const RenderOptions& o, std::string& error) {
  for (const auto& file : o.files) {
    if (V_BOOL(CallMethod(control, L"SetCustomMulFile", {Var::I2(file.slot), Var::Text(Wide(file.path).c_str())})
                   .get()) == VARIANT_FALSE) {
      error = "slot " + std::to_string(file.slot) + " refused";
      return false;
    }
  }
  if (o.type) PutProperty(control, L"ArtType", Var::I2(*o.type));
  if (o.index) PutProperty(control, L"ArtIndex", Var::I4(*o.index));
  if (o.color) PutProperty(control, L"ArtColor", Var::I2(*o.color));
  if (o.flags) PutProperty(control, L"DrawFlags", Var::I2(*o.flags));
  if (o.xoffset) PutProperty(control, L"xOffset", Var::I4(*o.xoffset));
  if (o.yoffset) PutProperty(control, L"yOffset", Var::I4(*o.yoffset));
  PutProperty(control, L"BkColor", Var::I4(o.bkcolor), {Var::I4(o.bkcolor)});
  for (const auto& entry : o.lists) {
    const auto& f = entry.fields;
    auto i2 = [&f](std::size_t i) { return Var::I2(static_cast<SHORT>(f[i])); };
    if (entry.hidden) {
      CallMethod(control, L"AddHideStatic", {i2(0), Var::I4(f[1]), i2(2), i2(3), i2(4), i2(5)});
    } else {
      CallMethod(control, L"AddPreviewItem", {i2(0), i2(1), i2(2), i2(3), i2(4)});
    }
  }
  return true;
}

// Draws the control into a DIB section of the options' size; the picture's bytes.
std::vector<unsigned char> Draw(IDispatch* control, const RenderOptions& o) {
  ComPtr<IViewObject> view;
  control->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(view.GetAddressOf()));
  const DibSection dib(o.width, o.height);
  DrawView(view.Get(), control, dib, o.width, o.height, o.paints);
  // The picture covers the bounds rounded down to a multiple of 8; the rest is not the control's.
  const int w = o.width - o.width % 8;
  const int h = o.height - o.height % 8;
  std::vector<unsigned char> picture;
  for (int y = 0; y < h; ++y) picture.insert(picture.end(), dib.Row(y), dib.Row(y) + static_cast<std::size_t>(w) * 3);
  return picture;
}

}  // namespace

int main(int argc, char** argv) {
  const bool installDir = argc == 5 && std::string(argv[4]) == "--installdir";
  if (argc != 4 && !installDir) {
    std::fprintf(stderr, "usage: tilvo-ocx-render CASES CLIENT OUTDIR [--installdir]\n");
    return 2;
  }
  if (FAILED(::OleInitialize(nullptr)) || !RegisterClient(argv[2], installDir)) return 1;
  std::ifstream cases(argv[1]);
  std::string line;
  int failures = 0;
  int drawn = 0;
  while (std::getline(cases, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string name;
    words >> name;
    std::vector<std::string> args;
    for (std::string word; words >> word;) args.push_back(word);
    RenderOptions options;
    std::string error;
    ComPtr<IDispatch> control = CreateControl();
    if (!control || !tilvo::render_tool::ParseRenderOptions(args, options, error) ||
        !Apply(control.Get(), options, error)) {
      std::fprintf(stderr, "%s: %s\n", name.c_str(), error.c_str());
      ++failures;
      continue;
    }
    const std::vector<unsigned char> picture = Draw(control.Get(), options);
    std::ofstream out(std::string(argv[3]) + "\\" + name + ".bgr", std::ios::binary);
    out.write(reinterpret_cast<const char*>(picture.data()), static_cast<std::streamsize>(picture.size()));
    if (!out) {
      std::fprintf(stderr, "%s: cannot write the picture\n", name.c_str());
      ++failures;
      continue;
    }
    ++drawn;
  }
  std::printf("tilvo-ocx-render: %d pictures drawn, %d failed\n", drawn, failures);
  ::OleUninitialize();
  return failures == 0 && drawn > 0 ? 0 : 1;
}
