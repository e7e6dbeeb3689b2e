// Draws the plug-in's artwork: the frames of every fan skin and every background, one PNG
// file per embedded image, named after the resource it becomes.
//
// Usage: vindelux-artgen <output-dir> [--contact-sheet <file.png>]
//        vindelux-artgen --icons <dir>
// The second form draws the application icon instead, the first frame of fan skin 0, into <dir> in
// the layout of the hicolor icon theme (<dir>/48x48/apps/vindelux-fan.png and so on). Packages draw
// it at build time; it is not part of the committed artwork.

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "backgrounds.h"
#include "contact_sheet.h"
#include "fan_skins.h"
#include "png_writer.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: vindelux-artgen <output-dir> [--contact-sheet <file.png>]\n"
               "       vindelux-artgen --icons <dir>\n");
  return 2;
}

bool Save(const std::filesystem::path& path, const artgen::Image& image) {
  std::string error;
  if (!artgen::WritePng(path.string(), image, error)) {
    std::fprintf(stderr, "vindelux-artgen: %s\n", error.c_str());
    return false;
  }
  return true;
}

int DrawIcons(const std::filesystem::path& root) {
  for (const int size : {48, 128, 256}) {
    const std::string side = std::to_string(size);
    const std::filesystem::path folder = root / (side + "x" + side) / "apps";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
      std::fprintf(stderr, "vindelux-artgen: cannot create %s: %s\n", folder.string().c_str(),
                   ec.message().c_str());
      return 1;
    }
    if (!Save(folder / "vindelux-fan.png", artgen::RenderFanSkin0At(0, size))) {
      return 1;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--icons") {
    return DrawIcons(argv[2]);
  }
  std::filesystem::path output;
  std::filesystem::path sheet;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--contact-sheet" && i + 1 < argc) {
      sheet = argv[++i];
    } else if (!arg.empty() && arg[0] != '-' && output.empty()) {
      output = arg;
    } else {
      return Usage();
    }
  }
  if (output.empty()) {
    return Usage();
  }
  std::error_code ec;
  std::filesystem::create_directories(output, ec);
  if (ec) {
    std::fprintf(stderr, "vindelux-artgen: cannot create %s: %s\n", output.string().c_str(),
                 ec.message().c_str());
    return 1;
  }

  int written = 0;
  std::vector<std::vector<artgen::Image>> skins;
  const std::vector<artgen::FanSkin>& fanSkins = artgen::FanSkins();
  for (std::size_t s = 0; s < fanSkins.size(); ++s) {
    std::vector<artgen::Image>& frames = skins.emplace_back();
    for (int k = 0; k < fanSkins[s].frames; ++k) {
      frames.push_back(fanSkins[s].render(k));
      const std::string name = "FAN_" + std::to_string(s) + "_" + std::to_string(k) + ".png";
      if (!Save(output / name, frames.back())) {
        return 1;
      }
      ++written;
    }
  }

  const std::vector<artgen::Image> backgrounds = artgen::RenderBackgrounds();
  for (std::size_t i = 0; i < backgrounds.size(); ++i) {
    if (!Save(output / ("CENTR_STRETCH_" + std::to_string(i) + ".png"), backgrounds[i])) {
      return 1;
    }
    ++written;
  }

  if (!sheet.empty() && !Save(sheet, artgen::BuildContactSheet(skins, backgrounds))) {
    return 1;
  }
  std::printf("vindelux-artgen: wrote %d images to %s\n", written, output.string().c_str());
  return 0;
}
