// The configuration manager's tree of device nodes as the simulated system has it. Node numbers
// play the part of DEVINST handles: a device that leaves takes its nodes with it, and one that
// arrives again gets new ones.
#pragma once

#include <map>
#include <string>

#include "platform/win32api.h"

namespace sim {

class DeviceTree {
public:
    DeviceTree();

    DWORD GetRoot() const { return kRoot; }
    DWORD Add(DWORD parent, const std::string& instanceId);
    // Removes the node and everything below it.
    void Remove(DWORD node);
    bool Parent(DWORD node, DWORD* parent) const;
    bool Contains(DWORD node) const { return m_nodes.count(node) != 0; }
    std::string InstanceId(DWORD node) const;

private:
    struct Node {
        DWORD parent;
        std::string instanceId;
    };
    static constexpr DWORD kRoot = 1;

    std::map<DWORD, Node> m_nodes;
    DWORD m_next = kRoot + 1;
};

}  // namespace sim
