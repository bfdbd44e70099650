#include "main/paths/cstoredpaths.h"

#include <algorithm>

#include "common/cini.h"

namespace {

const char* const kSection = "User";
const char* const kKey = "Paths";
const char* const kSeparator = ",";

bool Contains(const std::vector<std::string>& list, const std::string& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

}  // namespace

std::vector<std::string> CStoredPaths::Load() const
{
    std::vector<std::string> folders;
    CIni(m_file.c_str()).GetArray(kSection, kKey, folders, kSeparator);
    return folders;
}

bool CStoredPaths::Save(const std::vector<std::string>& folders) const
{
    return CIni(m_file.c_str()).WriteArray(kSection, kKey, folders, -1, kSeparator);
}

bool CStoredPaths::Append(const std::vector<std::string>& folders, std::vector<std::string>* notKept) const
{
    std::vector<std::string> stored = Load();
    const std::size_t before = stored.size();
    for (const std::string& folder : folders) {
        if (folder.find(kSeparator) != std::string::npos) {
            if (notKept)
                notKept->push_back(folder);
        } else if (!folder.empty() && !Contains(stored, folder)) {
            stored.push_back(folder);
        }
    }
    return stored.size() == before || Save(stored);
}

bool CStoredPaths::Remove(const std::vector<std::string>& folders) const
{
    std::vector<std::string> stored = Load();
    const std::size_t before = stored.size();
    stored.erase(std::remove_if(stored.begin(), stored.end(),
                                [&](const std::string& entry) { return Contains(folders, entry); }),
                 stored.end());
    return stored.size() == before || Save(stored);
}
