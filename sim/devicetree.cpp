#include "sim/devicetree.h"

#include <vector>

namespace sim {

DeviceTree::DeviceTree() {
    m_nodes.emplace(kRoot, Node{0, "HTREE\\ROOT\\0"});
}

DWORD DeviceTree::Add(DWORD parent, const std::string& instanceId) {
    const DWORD node = m_next++;
    m_nodes.emplace(node, Node{parent, instanceId});
    return node;
}

void DeviceTree::Remove(DWORD node) {
    std::vector<DWORD> children;
    for (const auto& [id, entry] : m_nodes) {
        if (entry.parent == node) {
            children.push_back(id);
        }
    }
    for (DWORD child : children) {
        Remove(child);
    }
    m_nodes.erase(node);
}

bool DeviceTree::Parent(DWORD node, DWORD* parent) const {
    const auto found = m_nodes.find(node);
    if (found == m_nodes.end() || node == kRoot) {
        return false;
    }
    *parent = found->second.parent;
    return true;
}

std::string DeviceTree::InstanceId(DWORD node) const {
    const auto found = m_nodes.find(node);
    return found == m_nodes.end() ? std::string() : found->second.instanceId;
}

}  // namespace sim
