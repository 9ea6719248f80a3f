#include "support/scratch_folder.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

ScratchFolder::ScratchFolder()
{
    std::string pattern = (fs::temp_directory_path() / "gateway-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()))
        m_path = pattern;
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(m_path, ignored))
        if (entry.is_directory(ignored))   // a test may have taken the rights away
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_path, ignored);
}

std::vector<std::string> ScratchFolder::Names() const
{
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(m_path))
        names.push_back(fs::relative(entry.path(), m_path).string());
    std::sort(names.begin(), names.end());
    return names;
}
