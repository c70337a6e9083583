// The check for a control.dll cut short, before the loader maps it.
#include "servo/ElfCheck.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TestPlugins.h"

namespace fs = std::filesystem;

namespace {

// However long the path, the refusal is the whole sentence: a cut text would
// drop the reason that follows the path.
TEST(ElfCheck, CutLibraryIsNamedInAWholeSentenceWhateverThePathsLength) {
  const std::string library = testPluginPath("versioned_plugin_2");
  const fs::path dir = fs::path(::testing::TempDir()) / std::string(180, 'd');
  fs::create_directories(dir);
  const std::string cut = (dir / "control.dll").string();
  fs::copy_file(library, cut, fs::copy_options::overwrite_existing);
  const auto size = fs::file_size(library);
  fs::resize_file(cut, size / 2);

  std::string why;
  EXPECT_TRUE(elfIsWhole(library.c_str(), library.c_str(), why)) << why;
  EXPECT_FALSE(elfIsWhole(cut.c_str(), cut.c_str(), why));
  EXPECT_EQ(why, cut + " is cut short (" + std::to_string(size / 2) + " of at least " + std::to_string(size) +
                     " bytes; a build still writing it?)");
  fs::remove_all(dir);
}

}  // namespace
