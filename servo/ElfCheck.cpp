#include "servo/ElfCheck.h"

#include <elf.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

bool elfIsWhole(const char* path, const char* shownAs, std::string& why) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return true;  // the loader says why it cannot open it
  const uint64_t size = uint64_t(file.tellg());
  Elf64_Ehdr header{};
  file.seekg(0);
  if (!file.read(reinterpret_cast<char*>(&header), sizeof header) ||
      std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64)
    return true;
  auto cut = [&](uint64_t needed) {
    // Built as a string: a path of any length keeps the whole sentence.
    why = std::string(shownAs) + " is cut short (" + std::to_string(size) + " of at least " +
          std::to_string(needed) + " bytes; a build still writing it?)";
    return false;
  };
  const uint64_t programHeaders = header.e_phoff + uint64_t(header.e_phnum) * header.e_phentsize;
  if (programHeaders > size) return cut(programHeaders);
  if (header.e_shoff != 0) {
    const uint64_t sectionHeaders = header.e_shoff + uint64_t(header.e_shnum) * header.e_shentsize;
    if (sectionHeaders > size) return cut(sectionHeaders);
  }
  if (header.e_phentsize != sizeof(Elf64_Phdr)) return true;
  std::vector<Elf64_Phdr> segments(header.e_phnum);
  file.seekg(std::streamoff(header.e_phoff));
  if (!file.read(reinterpret_cast<char*>(segments.data()),
                 std::streamsize(segments.size() * sizeof(Elf64_Phdr))))
    return cut(programHeaders);
  for (const Elf64_Phdr& segment : segments) {
    const uint64_t end = segment.p_offset + segment.p_filesz;
    if (segment.p_type == PT_LOAD && end > size) return cut(end);
  }
  return true;
}
