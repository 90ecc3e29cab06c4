// Archive files of the test archive plug-in's format ("*.tarc"), made up by the tests.
#pragma once

#include "plugins/TestPluginProtocol.h"

#include <string>
#include <vector>

namespace plugintest {

struct MemberSpec
{
    std::string path;
    std::string name;
    std::string data;
    DWORD listedSize; // 0: the data's size
    DWORD time;
};

inline std::string MakeTestArchive(BYTE flags, const std::vector<MemberSpec>& members)
{
    TestArchiveHeader header = {{'T', 'A', 'R', 'C'}, flags, {}, static_cast<DWORD>(members.size())};
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof(header));
    DWORD offset = static_cast<DWORD>(sizeof(header) + members.size() * sizeof(TestArchiveMember));
    std::string data;
    for (const MemberSpec& spec : members) {
        TestArchiveMember member = {};
        lstrcpynA(member.path, spec.path.c_str(), sizeof(member.path));
        lstrcpynA(member.name, spec.name.c_str(), sizeof(member.name));
        member.offset = offset + static_cast<DWORD>(data.size());
        member.listedSize = spec.listedSize ? spec.listedSize : static_cast<DWORD>(spec.data.size());
        member.time = spec.time;
        bytes.append(reinterpret_cast<const char*>(&member), sizeof(member));
        data += spec.data;
    }
    return bytes + data;
}

} // namespace plugintest
